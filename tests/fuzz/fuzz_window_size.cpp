// Fuzz target for the "--window-size" value: parseWindowSize must never crash and must
// agree with a plain restatement of its acceptance rule (digits, one lower-case x,
// digits, both numbers 1..8192, or exactly "fullscreen"); rejected values leave the
// outputs untouched.
#include "GuiEngine.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool expected(const std::string& s, int& w, int& h, bool& fs) {
  if (s == "fullscreen") {
    w = h = 0;
    fs = true;
    return true;
  }
  const size_t x = s.find('x');
  if (x == std::string::npos || x == 0 || x + 1 >= s.size()) return false;
  const std::string a = s.substr(0, x), b = s.substr(x + 1);
  auto number = [](const std::string& t, int& out) {
    if (t.empty() || t.find_first_not_of("0123456789") != std::string::npos) return false;
    size_t i = 0;
    while (i + 1 < t.size() && t[i] == '0') ++i;  // leading zeros
    const std::string d = t.substr(i);
    if (d.size() > 4) return false;
    out = std::atoi(d.c_str());
    return out >= 1 && out <= 8192;
  };
  int ww = 0, hh = 0;
  if (!number(a, ww) || !number(b, hh)) return false;
  w = ww;
  h = hh;
  fs = false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  int w = -1, h = -1, ew = -1, eh = -1;
  bool fs = false, efs = false;
  const bool ok = parseWindowSize(text, w, h, fs);
  const bool eok = expected(text, ew, eh, efs);
  if (ok != eok || w != ew || h != eh || fs != efs) std::abort();
  return 0;
}
