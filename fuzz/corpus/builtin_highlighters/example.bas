Attribute VB_Name = "modInventory"
Option Explicit

' Keeps a running stock count per item.
Private Const MAX_ITEMS As Integer = &H100
Private Const MASK As Long = &O777&
Private mCounts(1 To 256) As Long
Private mNames As Collection

#If Win32 Then
    Private Declare Function GetTickCount Lib "kernel32" () As Long
#End If

Public Sub AddStock(ByVal itemName As String, Optional ByVal qty As Long = 1)
    Dim idx As Integer
    REM Look the item up first
    idx = FindItem(itemName)
    If idx = 0 Then
        mNames.Add itemName, itemName
        idx = mNames.Count
    ElseIf idx > MAX_ITEMS Then
        Err.Raise vbObjectError + 513, "AddStock", "Too many items"
    End If
    mCounts(idx) = mCounts(idx) + qty  ' running total
End Sub

Public Function Report() As String
    Dim s$, i%, ratio!
    Dim since As Date
    since = #1/15/2024#
    ratio = 1.5E+3 / 2.25#
    For i = 1 To mNames.Count
        s = s & mNames(i) & ": " & CStr(mCounts(i)) & vbCrLf
    Next i
    Report = "Stock since ""January"":" & vbCrLf & s
End Function

Private Function FindItem(name As String) As Integer
    On Error GoTo NotFound
    Dim v As Variant
    v = mNames.Item(name)
    FindItem = 1
    Exit Function
NotFound:
    FindItem = 0
End Function
