#include "ThemeClass/ThemeRadioGroup.h"

namespace skin {

std::vector<int> RadioGroupOthers(const std::vector<bool>& groupStarts, int self) {
    std::vector<int> out;
    const int n = static_cast<int>(groupStarts.size());
    if (self < 0 || self >= n) return out;
    int first = self;
    while (first > 0 && !groupStarts[first]) --first;
    int end = self + 1;
    while (end < n && !groupStarts[end]) ++end;
    for (int i = first; i < end; ++i)
        if (i != self) out.push_back(i);
    return out;
}

}  // namespace skin
