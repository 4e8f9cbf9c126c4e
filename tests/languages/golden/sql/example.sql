-- Monthly sales report
/* Builds the summary table
   and fills it. */
CREATE TABLE sales_summary (
  id        INTEGER PRIMARY KEY,
  region    VARCHAR(40) NOT NULL,
  total     DECIMAL(12, 2) DEFAULT 0.00,
  "Order Count" INT
);

INSERT INTO sales_summary (id, region, total)
SELECT ROW_NUMBER() OVER (ORDER BY s.region), s.region, SUM(s.amount)
FROM sales s
WHERE s.sold_at >= DATE '2024-01-01'
  AND s.note <> 'it''s a
multi-line note'
GROUP BY s.region
HAVING COUNT(*) > 10 AND AVG(s.amount) < 1.5e3;

UPDATE sales_summary SET total = COALESCE(total, 0) * 1.19 WHERE region LIKE 'N%';
WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r WHERE n < 5) SELECT n FROM r;
