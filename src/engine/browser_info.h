#pragma once
// One record of the browser database: what a genuine shortcut of a browser
// (or of another program adware likes to hijack) looks like and where its
// executable is registered.
#include <cstdint>
#include <string>
#include <vector>

namespace tolvaran {

// Index of a browser in the database, from 1; 0 means "not a browser name".
using BrowserID = std::int32_t;

struct BrowserInfo {
  std::u16string Key;          // the database name the record was found under
  std::u16string Title;        // proper title of the shortcut (a masked fake is renamed to it)
  std::u16string InetClass;    // key under the registered internet clients; may hold ".<SID>"
  std::u16string ExePath;      // expected executable, folder macros expanded
  std::u16string DefaultArgs;  // arguments written when the shortcut's own are not legitimate
  // Switches that may stay, each judged on its own: "--incognito", a prefix
  // and a value class ("--profile-directory=<profile>"), or a switch, one
  // space and the class of the argument after it ("-P <name>").
  std::vector<std::u16string> LegitArgs;
  std::u16string AppPathsName;     // subkey under App Paths
  std::u16string Field7;           // kept, not used
  bool InetClassIsFolder = false;  // the client's command names a folder, not the program
  bool KeepExePath = false;        // recovery takes ExePath as it stands
  std::u16string RegPathValue;     // registry value holding the executable or a command line
  std::u16string RegFolderValue;   // registry value holding the install folder
  bool IsMasked = false;           // the name itself is a known look-alike imitation
  // One word shared by a browser's channels and side installs ("chrome" for
  // Chrome and its Beta, Dev and Canary); empty: the browser is its own family.
  std::u16string Family;
  // File names of the browser's own helper programs that a genuine shortcut
  // may start from the browser's folder (chrome_proxy.exe for web apps).
  std::vector<std::u16string> Helpers;

  friend bool operator==(const BrowserInfo&, const BrowserInfo&) = default;
};

}  // namespace tolvaran
