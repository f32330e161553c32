// Which siblings a radio button clears when it is checked. Portable: the
// window class lists its parent's children and calls this.
#pragma once

#include <vector>

namespace skin {

// siblings: one entry per child of the parent in window order, true where
// the child starts a group (WS_GROUP). The group of member self runs from
// the nearest group start at or before it (the first child when there is
// none) up to the next group start. Enabled and visible states do not
// matter. Returns the indices of the other members.
std::vector<int> RadioGroupOthers(const std::vector<bool>& groupStarts, int self);

}  // namespace skin
