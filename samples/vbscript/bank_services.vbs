' Late-bound client of the Kelvarn Bank component, as a script or an automation host uses it:
' everything goes through IDispatch and the registered type libraries.
' Register the component first (regsvr32 TrelkKelvarnBank.dll), then: cscript //nologo bank_services.vbs
Option Explicit

Dim bank, services, service, payments, code, missing
Set bank = CreateObject("TrelkKelvarnBank.Bank")
WScript.Echo "Bank: " & bank.BankName & " (fixed code " & bank.FixedCode & ")"

Set services = bank.Services
WScript.Echo "Services: " & services.Count
WScript.Echo "Item(0): " & services.Item(0).ServiceName
WScript.Echo "Item(1): " & services.Item(1).ServiceName
WScript.Echo "Item(""Bank Reconciliation Service""): " & services.Item("Bank Reconciliation Service").ServiceName
For Each service In services
  WScript.Echo "For Each: " & service.ServiceName & ", status " & service.Status
Next

' Result codes of the checks a payment can fail; a code without a text gives an empty string.
Set payments = services.Item("Bank Payment Service")
For Each code In Array(0, 21, 23, 30, 99)
  WScript.Echo "GetStatusText(" & code & "): [" & payments.GetStatusText(code) & "]"
Next

' Names are exact: a wrong one is rejected with "Invalid argument" (0x800AFFFC, shown by VBScript
' as its low word, 65532).
On Error Resume Next
Set missing = services.Item("Bank Payments")
WScript.Echo "Item(""Bank Payments""): error " & Err.Number & " (" & Err.Description & ")"
On Error Goto 0

WScript.Echo "bank_services.vbs: done"
