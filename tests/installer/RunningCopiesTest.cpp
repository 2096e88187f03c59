// Which processes an install or uninstall ends: those started from a file
// below the install folder, and no others.
#include "installer/RunningCopies.h"

#include <gtest/gtest.h>

namespace shadowpane {
namespace {

TEST(RunningCopies, OnlyImagesBelowTheInstallFolderAreEnded) {
  const WideString folder = u"C:\\USERS\\ME\\APPDATA\\LOCAL\\PROGRAMS\\SHADOWPANE";
  struct Case {
    const WideChar* image;
    const WideChar* folder;
    int inside;
  } cases[] = {
      {u"C:\\USERS\\ME\\APPDATA\\LOCAL\\PROGRAMS\\SHADOWPANE\\SHADOWPANE.EXE", folder.c_str(), 1},
      {u"C:\\USERS\\ME\\APPDATA\\LOCAL\\PROGRAMS\\SHADOWPANE\\OLD\\SHADOWPANE.EXE", folder.c_str(), 1},
      {u"C:/USERS/ME/APPDATA/LOCAL/PROGRAMS/SHADOWPANE/SHADOWPANE.EXE", folder.c_str(), 1},
      {u"C:\\A\\SHADOWPANE.EXE", u"C:\\A\\", 1},
      {u"C:\\A\\SHADOWPANE.EXE", u"C:\\A\\\\", 1},
      // A sibling folder whose name begins with the install folder's.
      {u"C:\\USERS\\ME\\APPDATA\\LOCAL\\PROGRAMS\\SHADOWPANE2\\SHADOWPANE.EXE", folder.c_str(), 0},
      // The same program installed elsewhere, or the folder itself.
      {u"D:\\TOOLS\\SHADOWPANE.EXE", folder.c_str(), 0},
      {u"C:\\USERS\\ME\\APPDATA\\LOCAL\\PROGRAMS\\SHADOWPANE", folder.c_str(), 0},
      {u"C:\\USERS\\ME\\APPDATA\\LOCAL\\PROGRAMS\\SHADOWPANE\\", folder.c_str(), 0},
      {u"C:\\A\\SHADOWPANE.EXE", u"", 0},
      {u"C:\\A\\SHADOWPANE.EXE", u"\\", 0},
      {u"", u"C:\\A", 0},
  };
  int index = 0;
  for (const Case& c : cases) {
    EXPECT_EQ(IsInsideFolder(c.image, c.folder), c.inside) << "case " << index;
    ++index;
  }
}

}  // namespace
}  // namespace shadowpane
