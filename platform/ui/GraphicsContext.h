#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::ui {

class Image;

/// One piece of a path: a move, a straight line, an arc, a rectangle or a close.
struct PathElement {
    enum class Kind { MoveTo, LineTo, Arc, Rect, Close };
    Kind kind { Kind::MoveTo };
    /// The target point of a move or line, the centre of an arc.
    Point point;
    /// The rectangle of a Rect element.
    Rect rect;
    /// The radius of an arc.
    double radius { 0 };
    /// The angles of an arc in radians, measured from the positive x axis.
    double startAngle { 0 };
    double endAngle { 0 };
    /// Whether the arc runs clockwise (in the flipped, y-down sense of the platform's drawing calls).
    bool clockwise { false };
};

/// One thing drawn: a stroked or filled path, an image or a text, with the state it was drawn in.
struct DrawOperation {
    enum class Kind { Stroke, Fill, Image, Text };
    Kind kind { Kind::Stroke };
    std::vector<PathElement> path;
    Color color;
    double lineWidth { 1 };
    /// Where an image or text was drawn.
    Rect rect;
    std::shared_ptr<const Image> image;
    std::string text;
};

/// A drawing surface that records what is drawn into it, in order. A bitmap context also keeps pixels:
/// rectangle fills and images are painted into them (paths are recorded only) and can be taken out as an
/// image.
class GraphicsContext {
public:
    /// A recording context of the given size in points.
    explicit GraphicsContext(Size size);

    /// A recording context that also paints into RGBA pixels: size in points times `scale`, transparent
    /// unless `opaque` (then white).
    static std::unique_ptr<GraphicsContext> bitmap(Size size, double scale = 1, bool opaque = false);

    /// The size in points.
    Size size() const { return m_size; }
    /// Pixels per point of a bitmap context (1 otherwise).
    double scale() const { return m_scale; }

    /// Starts a new subpath at the point.
    void moveTo(Point point);
    /// Adds a straight line from the current point.
    void addLineTo(Point point);
    /// Adds an arc around `center` from `startAngle` to `endAngle` (radians).
    void addArc(Point center, double radius, double startAngle, double endAngle, bool clockwise);
    /// Adds a rectangle as a closed subpath.
    void addRect(const Rect& rect);
    /// Closes the current subpath.
    void closePath();
    /// The path built since the last stroke or fill.
    const std::vector<PathElement>& currentPath() const { return m_path; }

    /// The colour strokes are drawn in (black at first).
    const Color& strokeColor() const { return m_strokeColor; }
    /// Sets the stroke colour.
    void setStrokeColor(const Color& color) { m_strokeColor = color; }
    /// The colour fills are drawn in (black at first).
    const Color& fillColor() const { return m_fillColor; }
    /// Sets the fill colour.
    void setFillColor(const Color& color) { m_fillColor = color; }
    /// The width of stroked lines (1 point at first).
    double lineWidth() const { return m_lineWidth; }
    /// Sets the width of stroked lines.
    void setLineWidth(double width) { m_lineWidth = width; }

    /// Strokes the current path and starts a new one.
    void strokePath();
    /// Fills the current path and starts a new one.
    void fillPath();
    /// Fills a rectangle with the fill colour.
    void fillRect(const Rect& rect);
    /// Draws an image scaled into the rectangle.
    void drawImage(const std::shared_ptr<const Image>& image, const Rect& rect);
    /// Draws a text with its top left at the point, in the fill colour.
    void drawText(const std::string& text, Point point);

    /// Everything drawn so far, in order.
    const std::vector<DrawOperation>& operations() const { return m_operations; }

    /// The pixels painted so far as an image (null for a recording context).
    std::shared_ptr<const Image> makeImage() const;

private:
    void paintRect(const Rect& rect, const Color& color);
    void paintImage(const Image& image, const Rect& rect);

    Size m_size;
    double m_scale { 1 };
    bool m_hasBitmap { false };
    int m_pixelWidth { 0 };
    int m_pixelHeight { 0 };
    std::vector<std::uint8_t> m_pixels;

    std::vector<PathElement> m_path;
    Color m_strokeColor { Color::black() };
    Color m_fillColor { Color::black() };
    double m_lineWidth { 1 };
    std::vector<DrawOperation> m_operations;
};

}
