' Late-bound client of Tamblorin.CustomDate: the calendar lookups by name.
Option Explicit
Dim passed, failed
passed = 0 : failed = 0

Sub Check(ok, what)
    If ok Then
        passed = passed + 1
    Else
        failed = failed + 1
        WScript.Echo "FAILED: " & what
    End If
End Sub

Sub Expect(actual, expected, what)
    If Err.Number <> 0 Then
        Check False, what & " raised " & Hex(Err.Number) & " " & Err.Description
        Err.Clear
    Else
        Check actual = expected, what & " gave """ & actual & """, expected """ & expected & """"
    End If
End Sub

On Error Resume Next
Dim d
Set d = CreateObject("Tamblorin.CustomDate")
Check Err.Number = 0, "CreateObject(""Tamblorin.CustomDate"") raised " & Hex(Err.Number) & " " & Err.Description
Err.Clear
If IsObject(d) Then
    Expect d.GetDaySuffix(1), "st", "GetDaySuffix(1)"
    Expect d.GetDaySuffix(2), "nd", "GetDaySuffix(2)"
    Expect d.GetDaySuffix(3), "rd", "GetDaySuffix(3)"
    Expect d.GetDaySuffix(11), "th", "GetDaySuffix(11)"
    Expect d.GetDaySuffix(22), "nd", "GetDaySuffix(22)"
    Expect d.GetDaySuffix(41), "th", "GetDaySuffix(41)"
    Expect d.GetMonthLong(1), "January", "GetMonthLong(1)"
    Expect d.GetMonthLong(12), "December", "GetMonthLong(12)"
    Expect d.GetMonthLong(13), "", "GetMonthLong(13)"
    Expect d.Check128("abc"), False, "Check128(""abc"")"
End If

WScript.Echo passed & " passed, " & failed & " failed"
If failed > 0 Then WScript.Quit 1
WScript.Quit 0
