// Late-bound client of the Kelvarn Bank component in JScript, through IDispatch and the
// registered type libraries.
// Register the component first (regsvr32 TrelkKelvarnBank.dll), then: cscript //nologo bank_services.js
var bank = new ActiveXObject("TrelkKelvarnBank.Bank");
WScript.Echo("Bank: " + bank.BankName + " (fixed code " + bank.FixedCode + ")");

var services = bank.Services;
WScript.Echo("Services: " + services.Count);
WScript.Echo("Item(0): " + services.Item(0).ServiceName);
WScript.Echo("Item(1): " + services.Item(1).ServiceName);
WScript.Echo("Item(\"Bank Reconciliation Service\"): " + services.Item("Bank Reconciliation Service").ServiceName);
// Wine 8's JScript fails "new Enumerator(...)" for every collection (even WScript.Arguments),
// so the services are walked by Count and Item; on Windows an Enumerator works as well.
for (var i = 0; i < services.Count; i++) {
  var service = services.Item(i);
  WScript.Echo("Walk " + i + ": " + service.ServiceName + ", status " + service.Status);
}

// Result codes of the checks a payment can fail; a code without a text gives an empty string.
var payments = services.Item("Bank Payment Service");
var codes = [0, 21, 23, 30, 99];
for (var c = 0; c < codes.length; c++) {
  WScript.Echo("GetStatusText(" + codes[c] + "): [" + payments.GetStatusText(codes[c]) + "]");
}

// Names are exact: a wrong one raises an error, shown here by its number and description.
try {
  services.Item("Bank Payments");
  WScript.Echo("Item(\"Bank Payments\"): no error");
} catch (e) {
  WScript.Echo("Item(\"Bank Payments\"): error 0x" + (e.number >>> 0).toString(16).toUpperCase() + " (" + e.description + ")");
}

WScript.Echo("bank_services.js: done");
