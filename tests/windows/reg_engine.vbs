' A scripting host's view of RegEngine: created by its ProgID, its log switch
' set and read back through the type library, UnloadSplash called, released.
' A script that fails prints nothing under wine's cscript; the test checks the
' last line.
Option Explicit
Dim engine
Set engine = CreateObject("RegWizard.RegEngine")
engine.m_boolLogEvents = True
If engine.m_boolLogEvents <> True Then
    WScript.Echo "reg_engine.vbs: m_boolLogEvents did not keep True"
    WScript.Quit 1
End If
engine.M_BOOLLOGEVENTS = 0
If engine.m_boolLogEvents <> False Then
    WScript.Echo "reg_engine.vbs: m_boolLogEvents did not take 0 as False"
    WScript.Quit 1
End If
engine.UnloadSplash
Set engine = Nothing
WScript.Echo "reg_engine.vbs: done"
