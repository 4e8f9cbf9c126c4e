#!/usr/bin/env python3
"""Inventory report.

Reads a CSV file and prints totals; "quotes" inside are fine.
"""
from __future__ import annotations

import csv
from dataclasses import dataclass, field

type Row = dict[str, str]
MAX_ROWS = 1_000_000
MASK = 0xFF_FF
PERMS = 0o755
FLAGS = 0b1010
RATE = 3.5e-3 + .25 + 2j


@dataclass
class Item:
    name: str
    qty: int = 0
    tags: list[str] = field(default_factory=list)

    def __repr__(self) -> str:
        return f"Item({self.name!r}, qty={self.qty})"


async def load(path: str) -> list[Item]:
    items = []
    with open(path, newline='') as fh:  # text mode
        for row in csv.DictReader(fh):
            match row:
                case {"name": name, "qty": q} if q.isdigit():
                    items.append(Item(name, int(q)))
                case _:
                    pass
    return items


def report(items):
    sql = '''SELECT name
FROM items WHERE note = 'it''s' '''
    path = r'C:\data\new\items.csv'
    raw = rb"\d+\"still raw"
    long = "first line \
second line"
    total = sum(i.qty for i in items if i.qty > 0)
    print(f'{len(items)} items, total {total:>8}', end="\n")
    return not total is None and total >= 0


if __name__ == "__main__":
    lambda x: x ** 2
    report([])
