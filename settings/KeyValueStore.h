// The store behind the settings and the autostart entry, as the settings
// logic needs it: open keys holding typed values. The Windows implementation
// is the registry (app/win32/RegistryStore.h); tests use one in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/Text.h"

namespace shadowpane {

// What a value query found. Only a 4-byte number of the store's 32-bit
// integer type counts as Dword; any other value that exists (another type,
// another size) is Other, so a text entry can be told from a missing one.
enum class StoredType { Missing, Dword, Other };

struct StoredValue {
  StoredType type = StoredType::Missing;
  std::uint32_t number = 0;  // meaningful for Dword only
};

// Texts longer than this are not read back: none the program writes comes
// near it, and a value someone else wrote must not make it allocate at will.
constexpr std::size_t kMaxStoredTextChars = 32768;

// One open key. Destroying the object closes the key, so no key stays open
// beyond the operation that opened it.
class KeyValueKey {
 public:
  virtual ~KeyValueKey() = default;
  virtual StoredValue Query(const WideChar* name) = 0;
  // Answer 1 when the value was written, else 0.
  virtual int SetDword(const WideChar* name, std::uint32_t value) = 0;
  virtual int SetText(const WideChar* name, const std::u16string& text) = 0;
  // Reads a text value of at most kMaxStoredTextChars characters; 1 when
  // found, else 0 (missing, of another type, or longer) and no text.
  virtual int QueryText(const WideChar* name, std::u16string* text) = 0;
  // Answers 1 when the value is gone afterwards (a missing value is no
  // error), else 0.
  virtual int Delete(const WideChar* name) = 0;
};

class KeyValueStore {
 public:
  virtual ~KeyValueStore() = default;
  // The per-user settings key, created when missing; null when it cannot
  // be opened with full access.
  virtual std::unique_ptr<KeyValueKey> OpenSettingsKey() = 0;
  // The machine's logon Run key, opened for reading only (never created);
  // null when it is missing or cannot be read. The program installs per
  // user, so it only ever looks here for an entry an administrator made.
  virtual std::unique_ptr<KeyValueKey> OpenMachineRunKey() = 0;
  // The current user's logon Run key, the only place the program writes its
  // autostart entry; null when it cannot be opened with full access.
  virtual std::unique_ptr<KeyValueKey> OpenUserRunKey() = 0;
  // The current user's RunOnce key: what it holds runs once at the next
  // logon (the system removes the value first). The program only removes
  // the entry earlier versions kept there. Null when it cannot be opened
  // with full access.
  virtual std::unique_ptr<KeyValueKey> OpenUserRunOnceKey() = 0;
  // The executable's full path when it is known and at most maxChars long.
  virtual bool ExecutablePath(std::u16string& path, int maxChars) = 0;
  // The short (8.3) form of that path when the system has one at most
  // maxChars long; it may be the long path itself where the volume keeps
  // no short names.
  virtual bool ExecutableShortPath(std::u16string& path, int maxChars) = 0;
};

}  // namespace shadowpane
