#include "model/cart_record.h"

namespace airfoldex {

void ResetCartRecord(CartRecord& record) { record = CartRecord{}; }

std::string CleanText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != '\0') out.push_back(c);
  }
  const auto first = out.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const auto last = out.find_last_not_of(' ');
  return out.substr(first, last - first + 1);
}

}  // namespace airfoldex
