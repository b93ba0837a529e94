#pragma once

namespace zorvik {

/// Registers the swipe container's and its background's nibs and classes; calls after the first do
/// nothing.
void registerSwipeNibs();

}
