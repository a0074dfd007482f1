#include "frame/registration.h"

namespace kelvarn {

HRESULT RegisterServer() noexcept { return E_NOTIMPL; }
HRESULT UnregisterServer() noexcept { return S_OK; }

}  // namespace kelvarn
