#pragma once

// A small writer for uncompressed SWF files (signature "FWS"): shapes, sprites,
// buttons, display-list tags and AVM1 action bytecode. Coordinates are in
// twips (1/20 pixel) unless a function says otherwise.

#include <climits>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace swf {

using Bytes = std::vector<uint8_t>;

struct Rgba
{
    uint8_t r = 0, g = 0, b = 0, a = 255;
};
Rgba rgb(uint32_t hex, uint8_t alpha = 255);

// MSB-first bit packing as the file format lays out RECT, MATRIX and shape records.
class BitWriter
{
public:
    explicit BitWriter(Bytes &out) : m_out(out) {}
    ~BitWriter() { flush(); }
    void ub(uint32_t value, int bits);
    void sb(int32_t value, int bits);
    void flush();

private:
    Bytes &m_out;
    uint32_t m_acc = 0;
    int m_count = 0;
};

int bitsForSigned(int32_t v);
int bitsForUnsigned(uint32_t v);

struct Matrix
{
    double scaleX = 1, scaleY = 1;
    double skew0 = 0, skew1 = 0; // rotate/skew terms
    int32_t tx = 0, ty = 0;      // twips

    static Matrix translate(int32_t x, int32_t y);
    // Rotation by degrees and uniform scale about the origin, then translation.
    static Matrix transform(int32_t x, int32_t y, double degrees, double scale = 1.0);
    static Matrix scaled(int32_t x, int32_t y, double sx, double sy);
};

struct ColorTransform
{
    double mulR = 1, mulG = 1, mulB = 1, mulA = 1;
    int addR = 0, addG = 0, addB = 0, addA = 0;
};

class Buffer
{
public:
    Bytes data;
    void u8(uint8_t v) { data.push_back(v); }
    void u16(uint16_t v);
    void u32(uint32_t v);
    void s16(int16_t v) { u16(static_cast<uint16_t>(v)); }
    void str(const std::string &s); // zero-terminated
    void bytes(const Bytes &b) { data.insert(data.end(), b.begin(), b.end()); }
    void rect(int32_t xmin, int32_t xmax, int32_t ymin, int32_t ymax);
    void matrix(const Matrix &m);
    void cxform(const ColorTransform &c); // CXFORMWITHALPHA
    void color(const Rgba &c) { u8(c.r); u8(c.g); u8(c.b); u8(c.a); }
};

// A shape for DefineShape3: fill styles, line styles and paths in absolute
// twips, turned into edge records with relative deltas when written.
class Shape
{
public:
    int solidFill(const Rgba &c);
    // Gradients span the box (x0,y0)-(x1,y1); stops are (ratio 0..255, colour).
    int linearFill(int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                   const std::vector<std::pair<uint8_t, Rgba>> &stops, bool vertical);
    int radialFill(int32_t cx, int32_t cy, int32_t radius,
                   const std::vector<std::pair<uint8_t, Rgba>> &stops);
    int lineStyle(uint16_t widthTwips, const Rgba &c);

    // Chooses the fill (0 = none) and line (0 = none) for the following paths.
    void use(int fill, int line = 0);
    void moveTo(int32_t x, int32_t y);
    void lineTo(int32_t x, int32_t y);
    void curveTo(int32_t cx, int32_t cy, int32_t x, int32_t y);

    void rect(int32_t x, int32_t y, int32_t w, int32_t h);
    void roundRect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t r);
    void ellipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry);
    void circle(int32_t cx, int32_t cy, int32_t r) { ellipse(cx, cy, r, r); }
    void polygon(const std::vector<std::pair<int32_t, int32_t>> &points);
    void star(int32_t cx, int32_t cy, int32_t outer, int32_t inner, int points);

    Bytes defineShape3(uint16_t id) const; // the whole tag

private:
    struct Record
    {
        enum Kind { Style, Line, Curve } kind;
        int32_t a = 0, b = 0, c = 0, d = 0; // absolute targets
        int fill = 0, line = 0;
    };
    Bytes m_fills;
    Bytes m_lines;
    int m_fillCount = 0;
    int m_lineCount = 0;
    std::vector<Record> m_records;
    int m_fill = 0, m_line = 0;
    int32_t m_x = 0, m_y = 0;
    int32_t m_minX = INT32_MAX, m_minY = INT32_MAX, m_maxX = INT32_MIN, m_maxY = INT32_MIN;
    int m_maxLineWidth = 0;
    void grow(int32_t x, int32_t y);
};

// AVM1 bytecode with forward and backward labels for If/Jump.
class Actions
{
public:
    struct Value
    {
        enum Kind { String, Int, Double, Bool, Null, Undefined } kind;
        std::string s;
        double n = 0;
        Value(const char *text) : kind(String), s(text) {}
        Value(const std::string &text) : kind(String), s(text) {}
        Value(int v) : kind(Int), n(v) {}
        Value(double v) : kind(Double), n(v) {}
        static Value boolean(bool b) { Value v(0); v.kind = Bool; v.n = b; return v; }
    };

    Actions &push(const std::vector<Value> &values);
    Actions &op(uint8_t code); // actions without data
    Actions &gotoFrame(uint16_t frameIndex);
    Actions &setTarget(const std::string &target);
    Actions &ifTrue(const std::string &label);
    Actions &jump(const std::string &label);
    Actions &label(const std::string &name);
    // GetURL2 with the address and the target on the stack (target on top).
    Actions &getUrl2(uint8_t flags);

    // Common sequences.
    Actions &getProperty(const std::string &target, int property);
    // object.method(args): the caller has pushed the arguments, last one first.
    Actions &callMethod(const std::string &object, const std::string &method, int argCount);

    Bytes bytes() const; // resolved, with the closing ActionEndFlag

private:
    Buffer m_code;
    std::map<std::string, size_t> m_labels;
    std::vector<std::pair<size_t, std::string>> m_fixups; // offset of the s16 field
};

namespace op {
constexpr uint8_t NextFrame = 0x04, PrevFrame = 0x05, Play = 0x06, Stop = 0x07;
constexpr uint8_t Add = 0x0A, Subtract = 0x0B, Multiply = 0x0C, Divide = 0x0D;
constexpr uint8_t Not = 0x12, Pop = 0x17, GetVariable = 0x1C, SetVariable = 0x1D;
constexpr uint8_t GetProperty = 0x22, SetProperty = 0x23, RandomNumber = 0x30;
constexpr uint8_t CallFunction = 0x3D, Modulo = 0x3F, Add2 = 0x47, Less2 = 0x48;
constexpr uint8_t Equals2 = 0x49, GetMember = 0x4E, SetMember = 0x4F, Increment = 0x50;
constexpr uint8_t Decrement = 0x51, CallMethod = 0x52, Greater = 0x67;
}

// Flags of GetURL2: loadVariables*() and a plain getURL().
namespace geturl {
constexpr uint8_t LoadVariables = 0x80, LoadTarget = 0x40, MethodNone = 0;
}

// Property indexes of GetProperty/SetProperty.
namespace prop {
constexpr int X = 0, Y = 1, XScale = 2, YScale = 3, Alpha = 6, Visible = 7, Rotation = 10;
constexpr int XMouse = 20, YMouse = 21;
}

struct PlaceOptions
{
    uint16_t depth = 1;
    int character = -1;         // -1: move the object at depth
    const Matrix *matrix = nullptr;
    const ColorTransform *cxform = nullptr;
    std::string name;
};

// A tag stream: used both for the main timeline and for a sprite's timeline.
class Timeline
{
public:
    void tag(uint16_t code, const Bytes &body);
    void raw(const Bytes &wholeTag) { m_tags.bytes(wholeTag); }
    void place(const PlaceOptions &o);   // PlaceObject2
    void remove(uint16_t depth);         // RemoveObject2
    void doAction(const Actions &a);
    void showFrame();
    int frames() const { return m_frames; }
    const Bytes &data() const { return m_tags.data; }

private:
    Buffer m_tags;
    int m_frames = 0;
};

struct ButtonState
{
    enum : uint8_t { Up = 1, Over = 2, Down = 4, Hit = 8 };
};
struct ButtonRecord
{
    uint8_t states;
    uint16_t character;
    uint16_t depth;
    Matrix matrix;
};
struct ButtonAction
{
    uint16_t conditions; // see Cond below
    Actions actions;
};
namespace cond {
// Written as a little-endian 16-bit field: transitions in the low byte,
// the key code in the top seven bits.
constexpr uint16_t RollOver = 0x0001; // IdleToOverUp
constexpr uint16_t Press = 0x0004;    // OverUpToOverDown
constexpr uint16_t Release = 0x0008;  // OverDownToOverUp
inline uint16_t key(uint8_t code) { return static_cast<uint16_t>(code) << 9; }
}

class Movie
{
public:
    Movie(int widthPx, int heightPx, double fps, const Rgba &background);

    Timeline &main() { return m_main; }
    uint16_t nextId() { return m_nextId++; }
    uint16_t defineShape(const Shape &s);
    uint16_t defineSprite(const Timeline &t);
    uint16_t defineButton(const std::vector<ButtonRecord> &records,
                          const std::vector<ButtonAction> &actions, bool trackAsMenu = false);
    int width() const { return m_width; }
    int height() const { return m_height; }

    Bytes finish() const; // the whole file

private:
    int m_width, m_height;
    double m_fps;
    Rgba m_background;
    Buffer m_defs;
    Timeline m_main;
    uint16_t m_nextId = 1;
};

Bytes tagBytes(uint16_t code, const Bytes &body);

// DefineFont2 naming a device font: wide codes, no layout, no glyphs; the
// name in UTF-8, as movies of version 6 and later have it.
Bytes deviceFontTag(uint16_t id, const std::string &name);
// DefineEditText: read-only, sized to its text from its left edge, drawn in
// a device font (no outlines) `sizePx` high, plain text in UTF-8.
Bytes editTextTag(uint16_t id, uint16_t font, const Rgba &colour, const std::string &text, int sizePx = 20);

} // namespace swf
