' Late-bound client of Wendrikai.Uptime: the class is created by its ProgID. Its class
' interface has no methods of its own, and the host's interfaces are not reachable from script.
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

On Error Resume Next
Dim uptime
Set uptime = CreateObject("Wendrikai.Uptime")
Check Err.Number = 0, "CreateObject(""Wendrikai.Uptime"") raised " & Hex(Err.Number) & " " & Err.Description
Err.Clear
Check IsObject(uptime), "CreateObject returned no object"
Check TypeName(uptime) = "_Uptime", "TypeName is " & TypeName(uptime)
Err.Clear
Set uptime = Nothing
Check Err.Number = 0, "releasing the object raised " & Hex(Err.Number)

WScript.Echo passed & " passed, " & failed & " failed"
If failed > 0 Then WScript.Quit 1
WScript.Quit 0
