* Customer report: totals per region.
* Long comment carried on ;
  to this line.
NOTE Written for Visual FoxPro 9
#DEFINE MAX_ROWS 500

LOCAL lnTotal, lcRegion, laRegions[10]
lnTotal = 0
SET TALK OFF
SET DELETED ON
USE customers IN 0 SHARED ALIAS cust
SELECT cust
SCAN FOR !DELETED() AND cust.active = .T.
    lcRegion = ALLTRIM(cust.region)   && trimmed name
    lnTotal = lnTotal + cust.balance
    laRegions[1] = lcRegion
ENDSCAN

IF lnTotal > 1000.50 .OR. RECCOUNT() >= MAX_ROWS
    WAIT WINDOW "Total: " + TRANSFORM(lnTotal, "999,999.99") NOWAIT
ELSE
    MESSAGEBOX([Nothing to report for ] + lcRegion, 64, 'Report')
ENDIF

REPL ALL balance WITH 0 FOR balance < 0
MODI COMM report.prg
DO FORM frmReport WITH lnTotal

DEFINE CLASS ReportForm AS Form
    Caption = "Regions"
    PROCEDURE Init
        LPARAMETERS tnTotal
        THIS.Caption = THIS.Caption + " (" + STR(tnTotal, 10, 2) + ")"
        RETURN .T.
    ENDPROC
ENDDEFINE
