' Late-bound client of Orvantel.CPUInfo: two-line splitting of a processor name, the text test
' and the feature test by name. No value of this machine's processor is assumed.
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

Function Raised(what)
    Raised = (Err.Number <> 0)
    If Raised Then
        Check False, what & " raised " & Hex(Err.Number) & " " & Err.Description
        Err.Clear
    End If
End Function

On Error Resume Next
Dim cpu, text, answer
Set cpu = CreateObject("Orvantel.CPUInfo")
Check Err.Number = 0, "CreateObject(""Orvantel.CPUInfo"") raised " & Hex(Err.Number) & " " & Err.Description
Err.Clear
If IsObject(cpu) Then
    text = cpu.fnDualLine("Intel(R) Pentium(R) 4 CPU 3.00GHz")
    If Not Raised("fnDualLine") Then
        Check TypeName(text) = "String", "fnDualLine gave a " & TypeName(text)
        Check Len(text) > 0, "fnDualLine gave the empty text"
        Check InStr(Replace(text, vbCrLf, " "), "Pentium") > 0 Or InStr(text, "Pentium") > 0, _
            "fnDualLine lost the words: """ & text & """"
    End If
    answer = cpu.Check128("abc")
    If Not Raised("Check128(""abc"")") Then Check answer = False, "Check128(""abc"") gave " & answer
    answer = cpu.Check128("ab" & ChrW(233))
    If Not Raised("Check128 of an accented text") Then Check answer = True, "Check128 of an accented text gave " & answer
    answer = cpu.fnFeatureSupport(-1, "yes", "no")
    If Not Raised("fnFeatureSupport(-1)") Then Check answer = "yes" Or answer = "no", "fnFeatureSupport(-1) gave """ & answer & """"
End If

WScript.Echo passed & " passed, " & failed & " failed"
If failed > 0 Then WScript.Quit 1
WScript.Quit 0
