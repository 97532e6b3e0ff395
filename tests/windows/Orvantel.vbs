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
    ' The processor name of the example: 33 printable characters and a NUL, cut after
    ' "Pentium(R) 4", the second line centred to the first line's width.
    text = cpu.fnDualLine("Intel(R) Pentium(R) 4 CPU 2.40GHz" & Chr(0) & Chr(0))
    If Not Raised("fnDualLine") Then
        Dim expected
        expected = "Intel(R) Pentium(R) 4" & vbLf & "     CPU 2.40GHz" & Chr(0) & "    "
        Check text = expected, "fnDualLine gave """ & Replace(text, Chr(0), "\0") & """ (" & Len(text) & " characters)"
    End If
    text = cpu.fnDualLine("")
    Check Err.Number <> 0, "fnDualLine("""") did not fail"
    Err.Clear
    answer = cpu.Check128("abc")
    If Not Raised("Check128(""abc"")") Then Check answer = False, "Check128(""abc"") gave " & answer
    ' Chr, not ChrW: Wine's script engine lacks ChrW. 233 is an accented letter in the
    ' single-byte code pages the tests run under.
    answer = cpu.Check128("ab" & Chr(233))
    If Not Raised("Check128 of an accented text") Then Check answer = True, "Check128 of an accented text gave " & answer
    answer = cpu.fnFeatureSupport(6, "SSE yes", "SSE no")
    If Not Raised("fnFeatureSupport(6)") Then Check answer = "SSE yes" Or answer = "SSE no", "fnFeatureSupport(6) gave """ & answer & """"
    answer = cpu.fnFeatureSupport(3, 1, 0)
    If Not Raised("fnFeatureSupport(3, 1, 0)") Then Check answer = "1" Or answer = "0", "fnFeatureSupport(3, 1, 0) gave """ & answer & """"
End If

WScript.Echo passed & " passed, " & failed & " failed"
If failed > 0 Then WScript.Quit 1
WScript.Quit 0
