#include "ui/main/win32/CopyData.h"

namespace shadowpane {

int SendRecord(HWND to, HWND from, std::uint32_t kind, const RecordBytes& record, UINT limitMs) {
  if (to == nullptr || record.empty()) return 0;
  COPYDATASTRUCT copy{};
  copy.dwData = kind;
  copy.cbData = static_cast<DWORD>(record.size());
  // The receiver only reads the bytes; the system copies them across.
  copy.lpData = const_cast<std::uint8_t*>(record.data());
  DWORD_PTR taken = FALSE;
  const LRESULT sent = SendMessageTimeoutW(to, WM_COPYDATA, reinterpret_cast<WPARAM>(from),
                                           reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG, limitMs, &taken);
  return sent != 0 && taken == TRUE ? 1 : 0;
}

bool ReceivedRecord(LPARAM lParam, std::uint32_t kind, const std::uint8_t** bytes, std::size_t* size) {
  const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (copy == nullptr || copy->dwData != kind) return false;
  if (copy->cbData != 0 && copy->lpData == nullptr) return false;
  *bytes = static_cast<const std::uint8_t*>(copy->lpData);
  *size = copy->cbData;
  return true;
}

}  // namespace shadowpane
