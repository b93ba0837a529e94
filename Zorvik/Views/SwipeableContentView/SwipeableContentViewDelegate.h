#pragma once

namespace zorvik {

class SwipeableContentView;

/// Told when a swipe has carried a row fully aside.
class SwipeableContentViewDelegate {
public:
    virtual ~SwipeableContentViewDelegate() = default;

    /// The row came to rest on an outer page: the user swiped it all the way.
    virtual void swipeDidFinish(SwipeableContentView& container) = 0;
};

}
