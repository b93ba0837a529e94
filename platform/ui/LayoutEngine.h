#pragma once

namespace platform::ui {

class View;

/// Turns the constraints of a view tree into frames.
///
/// A layout pass takes the whole tree of the view it is asked about (from its root down) and the
/// constraints that each view of it holds. The root keeps its frame; so does every view that still
/// translates its autoresizing mask into constraints and every view that no constraint mentions: such a
/// view's frame is fixed relative to its superview. Every other view is placed by its constraints and,
/// where it reports one, by its intrinsic content size (held by its hugging and compression priorities).
///
/// Solving runs in time linear in the number of views and constraints:
/// - required equalities are solved by propagation (a relation with one unknown left fixes it);
///   relations that only hold together (cycles, such as two views sharing a width) are solved per
///   connected group by elimination, whose cost grows with the cube of the group's size (a handful of
///   views in practice; a row of a thousand views of equal width would be slow);
/// - then, strongest first, required inequalities bound what is left, optional equalities are adopted
///   when they break nothing stronger, and inequalities still open settle on their bound (so
///   "|-(>=0)-[v]" with nothing else holds the view at the edge).
///
/// A layout that cannot hold (required constraints that contradict each other or a fixed frame) or that
/// leaves a solved view's position or size open throws LayoutError from the pass, naming the views and
/// constraints concerned. A constraint between a view and one outside its holder's subtree is an error
/// too. Frames are written only where they change.
class LayoutEngine {
public:
    /// Lays out the tree that holds `view`, from its root down. Throws LayoutError as described above.
    static void layoutTree(View& view);

    /// Drops the constraints held by `formerSuperview` and its ancestors that mention `view` or one of its
    /// descendants: called as `view` leaves its superview.
    static void viewWillLeaveSuperview(View& view, View& formerSuperview);

    /// Connects View::layoutIfNeeded and view removal to this engine. Idempotent; constraint creation
    /// calls it, so a tree without constraints never needs the engine.
    static void install();
};

}
