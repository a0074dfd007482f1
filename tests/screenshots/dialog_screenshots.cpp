// Shows the export run's two dialogs and saves a picture of each as PNG, for the documentation:
//   dialog_screenshots TrelkKelvarnBank.dll OUTPUT_DIRECTORY
// The run is a real export through the payment service, with the test support's fake host and a
// scripted user who waits for each dialog, takes its picture, then goes on (the save dialog is
// cancelled, so nothing is written).
#include <windows.h>
#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "frame/owners_win.h"
#include "tests/screenshots/png_writer.h"
#include "fakehost/call_log.h"
#include "fakehost/fake_host_components.h"
#include "fakehost/fake_host_objects.h"
#include "fakehost/ui_automation.h"
#include "trelk_kelvarn_bank.h"

namespace kelvarn::test {
namespace {

// The window as it is on the screen, frame and caption included: BitBlt from its window DC.
refhost::RgbImage CaptureWindow(HWND window) {
  refhost::RgbImage image;
  RECT rect{};
  GetWindowRect(window, &rect);
  image.width = rect.right - rect.left;
  image.height = rect.bottom - rect.top;
  if (image.width <= 0 || image.height <= 0) return image;

  const HDC windowDc = GetWindowDC(window);
  const HDC memoryDc = CreateCompatibleDC(windowDc);
  const HBITMAP bitmap = CreateCompatibleBitmap(windowDc, image.width, image.height);
  const HGDIOBJ previous = SelectObject(memoryDc, bitmap);
  BitBlt(memoryDc, 0, 0, image.width, image.height, windowDc, 0, 0, SRCCOPY);
  SelectObject(memoryDc, previous);

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // rows top to bottom
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::string pixels(static_cast<std::size_t>(image.width) * image.height * 4, '\0');
  GetDIBits(memoryDc, bitmap, 0, static_cast<UINT>(image.height), pixels.data(), &info, DIB_RGB_COLORS);

  DeleteObject(bitmap);
  DeleteDC(memoryDc);
  ReleaseDC(window, windowDc);

  image.rgb.resize(static_cast<std::size_t>(image.width) * image.height * 3);
  for (std::size_t pixel = 0; pixel < image.rgb.size() / 3; ++pixel) {  // BGRX to RGB
    image.rgb[pixel * 3] = static_cast<std::uint8_t>(pixels[pixel * 4 + 2]);
    image.rgb[pixel * 3 + 1] = static_cast<std::uint8_t>(pixels[pixel * 4 + 1]);
    image.rgb[pixel * 3 + 2] = static_cast<std::uint8_t>(pixels[pixel * 4]);
  }
  return image;
}

// Lets the window finish painting, then saves its picture; false for a blank one.
bool SavePicture(HWND window, const std::string& path) {
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const refhost::RgbImage image = CaptureWindow(window);
  if (image.width <= 0 || !refhost::HasVisibleContent(image)) {
    std::fprintf(stderr, "%s: the picture is blank\n", path.c_str());
    return false;
  }
  std::ofstream file(path, std::ios::binary);
  file << refhost::EncodePng(image);
  std::printf("%s: %d x %d\n", path.c_str(), image.width, image.height);
  return static_cast<bool>(file);
}

int Run(const char* dllPath, const std::string& outputDirectory) {
  const HMODULE module = LoadLibraryA(dllPath);
  if (!module) {
    std::fprintf(stderr, "cannot load %s\n", dllPath);
    return 1;
  }
  using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  const auto getClassObject =
      reinterpret_cast<GetClassObjectFunction>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  ComPtr<IClassFactory> factory;
  ComPtr<IBankPaymentService> service;
  if (!getClassObject || FAILED(getClassObject(CLSID_BankPaymentService, IID_IClassFactory, factory.put_void())) ||
      FAILED(factory->CreateInstance(nullptr, __uuidof(IBankPaymentService), service.put_void()))) {
    std::fprintf(stderr, "cannot create the payment service\n");
    return 1;
  }

  CallLog log;
  FakeHostComponents host(log);
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  host.configuration.directory = temp;
  host.configuration.fileName = "kelvarn-payments";
  auto payments = MakeFake<FakeBankPayments>(log);

  bool saved = true;
  const std::string failure = RunAsUser(
      [&](UiDriver& user) {
        const HWND dialog = user.WaitFor(DialogKind::kProcessingDate);
        saved = SavePicture(dialog, outputDirectory + "/processing-date-dialog.png") && saved;
        user.Press(dialog, IDOK);
        const HWND save = user.WaitFor(DialogKind::kSaveFile);
        saved = SavePicture(save, outputDirectory + "/save-dialog.png") && saved;
        user.Press(save, IDCANCEL);
      },
      [&] { service->ExportPayments(payments.get(), nullptr); });
  if (!failure.empty()) std::fprintf(stderr, "%s\n", failure.c_str());
  return failure.empty() && saved ? 0 : 1;
}

}  // namespace
}  // namespace kelvarn::test

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: dialog_screenshots TrelkKelvarnBank.dll OUTPUT_DIRECTORY\n");
    return 2;
  }
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  const int result = kelvarn::test::Run(argv[1], argv[2]);
  CoUninitialize();
  return result;
}
