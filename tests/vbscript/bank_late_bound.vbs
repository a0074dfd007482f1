' The Bank objects through a late-bound client: Windows Script Host's VBScript engine, which
' reaches everything through IDispatch and the registered type libraries.
' Prints "bank_late_bound: all checks passed" at the end; any mismatch ends it with exit code 1.
Option Explicit
On Error Resume Next

' VBScript shows errors of the control facility (0x800AFFFC) by their low word.
Const kInvalidArgument = 65532

Sub Fail(message)
  WScript.Echo "bank_late_bound: FAILED: " & message
  WScript.Quit 1
End Sub

Sub ExpectNoError(what)
  If Err.Number <> 0 Then Fail what & ": error " & Err.Number & " (" & Err.Description & ")"
End Sub

Sub Expect(what, actual, expected)
  ExpectNoError what
  If actual <> expected Then Fail what & ": got [" & actual & "], expected [" & expected & "]"
End Sub

' A lookup that must be rejected with "Invalid argument" and hand out nothing.
Sub ExpectRejected(services, index, what)
  Dim service
  Err.Clear
  Set service = services.Item(index)
  If Err.Number <> kInvalidArgument Or Err.Description <> "Invalid argument" Then
    Fail what & ": got error " & Err.Number & " (" & Err.Description & "), expected " & kInvalidArgument & _
         " (Invalid argument)"
  End If
  If Not IsEmpty(service) Then Fail what & ": a service was handed out"
  Err.Clear
End Sub

Dim bank, services, service, names
Set bank = CreateObject("TrelkKelvarnBank.Bank")
ExpectNoError "CreateObject(""TrelkKelvarnBank.Bank"")"

Expect "BankName", bank.BankName, "Kelvarn Bank"
Expect "FixedCode", bank.FixedCode, 1

Set services = bank.Services
ExpectNoError "Services"
If Not (bank.Services Is services) Then Fail "Services: a second read gave another collection"
Expect "Count", services.Count, 2

names = ""
For Each service In services
  names = names & "[" & service.ServiceName & "]"
Next
Expect "For Each", names, "[Bank Payment Service][Bank Reconciliation Service]"

Expect "Item by name", services.Item("Bank Reconciliation Service").ServiceName, "Bank Reconciliation Service"
Expect "Item by index 0", services.Item(0).ServiceName, "Bank Payment Service"
Expect "default member with 1", services(1).ServiceName, "Bank Reconciliation Service"

ExpectRejected services, "bank reconciliation service", "Item with a lower-case name"
ExpectRejected services, "Bank Payment", "Item with the first two words of a name"
ExpectRejected services, "1", "Item with a digit as a string"
ExpectRejected services, 2, "Item past the end"
ExpectRejected services, -1, "Item with -1"

WScript.Echo "bank_late_bound: all checks passed"
