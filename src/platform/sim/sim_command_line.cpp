#include "platform/sim/sim_command_line.h"

namespace tolvaran::platform::sim {
namespace {

bool isBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

}  // namespace

std::vector<std::u16string> splitCommandLine(std::u16string_view line) {
  line = line.substr(0, line.find(u'\0'));
  const std::size_t n = line.size();
  std::size_t i = 0;
  std::vector<std::u16string> tokens;

  // The program's own name knows no escapes.
  std::u16string program;
  if (i < n && line[i] == u'"') {
    ++i;
    while (i < n && line[i] != u'"') program += line[i++];
    if (i < n) ++i;
  } else {
    while (i < n && !isBlank(line[i])) program += line[i++];
  }
  tokens.push_back(std::move(program));

  const auto skipBlanks = [&] {
    while (i < n && isBlank(line[i])) ++i;
  };
  skipBlanks();
  bool inToken = i < n;
  std::u16string token;
  std::size_t backslashes = 0;
  int quotes = 0;  // 1 while quoting; counts a run of quotes up to 3
  while (i < n) {
    const char16_t c = line[i];
    if (isBlank(c) && quotes == 0) {
      token.append(backslashes, u'\\');
      backslashes = 0;
      tokens.push_back(std::move(token));
      token.clear();
      skipBlanks();
      inToken = i < n;
      continue;
    }
    if (c == u'\\') {
      ++backslashes;
      ++i;
      continue;
    }
    if (c == u'"') {
      token.append(backslashes / 2, u'\\');
      if (backslashes % 2 == 0) {
        ++quotes;
      } else {
        token += u'"';
      }
      backslashes = 0;
      ++i;
      while (i < n && line[i] == u'"') {
        if (++quotes == 3) {
          token += u'"';
          quotes = 0;
        }
        ++i;
      }
      if (quotes == 2) quotes = 0;
      continue;
    }
    token.append(backslashes, u'\\');
    backslashes = 0;
    token += c;
    ++i;
  }
  if (inToken) {
    token.append(backslashes, u'\\');
    tokens.push_back(std::move(token));
  }
  return tokens;
}

}  // namespace tolvaran::platform::sim
