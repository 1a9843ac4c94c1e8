#include "gui/model/zoom_labels.h"

#include <array>
#include <string_view>

namespace visual {

namespace {

constexpr std::array<std::string_view, kLastLabelledBits - kFirstLabelledBits + 1> kLabels = {
    "1200 км",     "800 км",         "300 км - 500 км", "200км",         "80 км - 120 км",
    "50 км",       "20 км - 30 км",  "12 км",           "5 км - 8 км",   "3 км",
    "2 км",        "800 м - 1.2 км", "500 м",           "200 м - 300 м", "120 м ",
    "50 м - 80 м", "0 -30 м"};

}  // namespace

std::string zoomLabel(int bits) {
  const int position = levelPickerPosition(bits);
  return position < 0 ? std::string() : std::string(kLabels[static_cast<std::size_t>(position)]);
}

std::vector<std::string> levelPickerItems() {
  std::vector<std::string> items;
  for (int bits = kFirstLabelledBits; bits <= kLastLabelledBits; ++bits)
    items.push_back(std::to_string(bits) + " : " + zoomLabel(bits));
  return items;
}

int levelPickerPosition(int bits) {
  if (bits < kFirstLabelledBits || bits > kLastLabelledBits) return -1;
  return bits - kFirstLabelledBits;
}

}  // namespace visual
