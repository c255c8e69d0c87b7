#include "swfwriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace swf {

namespace {

constexpr double kPi = 3.14159265358979323846;

int32_t fixed16(double v) { return static_cast<int32_t>(std::lround(v * 65536.0)); }

} // namespace

Rgba rgb(uint32_t hex, uint8_t alpha)
{
    return Rgba{uint8_t(hex >> 16), uint8_t(hex >> 8), uint8_t(hex), alpha};
}

void BitWriter::ub(uint32_t value, int bits)
{
    for (int i = bits - 1; i >= 0; --i) {
        m_acc = (m_acc << 1) | ((value >> i) & 1u);
        if (++m_count == 8) {
            m_out.push_back(uint8_t(m_acc));
            m_acc = 0;
            m_count = 0;
        }
    }
}

void BitWriter::sb(int32_t value, int bits)
{
    ub(static_cast<uint32_t>(value) & (bits >= 32 ? 0xffffffffu : ((1u << bits) - 1)), bits);
}

void BitWriter::flush()
{
    if (m_count > 0) {
        m_out.push_back(uint8_t(m_acc << (8 - m_count)));
        m_acc = 0;
        m_count = 0;
    }
}

int bitsForUnsigned(uint32_t v)
{
    int n = 0;
    while (v) {
        ++n;
        v >>= 1;
    }
    return n;
}

int bitsForSigned(int32_t v)
{
    const uint32_t magnitude = v < 0 ? static_cast<uint32_t>(~v) : static_cast<uint32_t>(v);
    return bitsForUnsigned(magnitude) + 1;
}

Matrix Matrix::translate(int32_t x, int32_t y)
{
    Matrix m;
    m.tx = x;
    m.ty = y;
    return m;
}

Matrix Matrix::transform(int32_t x, int32_t y, double degrees, double scale)
{
    Matrix m;
    const double r = degrees * kPi / 180.0;
    m.scaleX = m.scaleY = std::cos(r) * scale;
    m.skew0 = std::sin(r) * scale;
    m.skew1 = -std::sin(r) * scale;
    m.tx = x;
    m.ty = y;
    return m;
}

Matrix Matrix::scaled(int32_t x, int32_t y, double sx, double sy)
{
    Matrix m;
    m.scaleX = sx;
    m.scaleY = sy;
    m.tx = x;
    m.ty = y;
    return m;
}

void Buffer::u16(uint16_t v)
{
    u8(uint8_t(v));
    u8(uint8_t(v >> 8));
}

void Buffer::u32(uint32_t v)
{
    u16(uint16_t(v));
    u16(uint16_t(v >> 16));
}

void Buffer::str(const std::string &s)
{
    data.insert(data.end(), s.begin(), s.end());
    data.push_back(0);
}

void Buffer::rect(int32_t xmin, int32_t xmax, int32_t ymin, int32_t ymax)
{
    int n = 1;
    for (int32_t v : {xmin, xmax, ymin, ymax})
        n = std::max(n, bitsForSigned(v));
    BitWriter w(data);
    w.ub(n, 5);
    for (int32_t v : {xmin, xmax, ymin, ymax})
        w.sb(v, n);
}

void Buffer::matrix(const Matrix &m)
{
    BitWriter w(data);
    const bool hasScale = m.scaleX != 1.0 || m.scaleY != 1.0;
    w.ub(hasScale, 1);
    if (hasScale) {
        const int32_t a = fixed16(m.scaleX), d = fixed16(m.scaleY);
        const int n = std::max(bitsForSigned(a), bitsForSigned(d));
        w.ub(n, 5);
        w.sb(a, n);
        w.sb(d, n);
    }
    const bool hasRotate = m.skew0 != 0.0 || m.skew1 != 0.0;
    w.ub(hasRotate, 1);
    if (hasRotate) {
        const int32_t b = fixed16(m.skew0), c = fixed16(m.skew1);
        const int n = std::max(bitsForSigned(b), bitsForSigned(c));
        w.ub(n, 5);
        w.sb(b, n);
        w.sb(c, n);
    }
    const int n = (m.tx == 0 && m.ty == 0) ? 0 : std::max(bitsForSigned(m.tx), bitsForSigned(m.ty));
    w.ub(n, 5);
    if (n) {
        w.sb(m.tx, n);
        w.sb(m.ty, n);
    }
}

void Buffer::cxform(const ColorTransform &c)
{
    const int32_t mul[4] = {int32_t(std::lround(c.mulR * 256)), int32_t(std::lround(c.mulG * 256)),
                            int32_t(std::lround(c.mulB * 256)), int32_t(std::lround(c.mulA * 256))};
    const int32_t add[4] = {c.addR, c.addG, c.addB, c.addA};
    bool hasMul = false, hasAdd = false;
    int n = 1;
    for (int i = 0; i < 4; ++i) {
        hasMul |= mul[i] != 256;
        hasAdd |= add[i] != 0;
    }
    for (int i = 0; i < 4; ++i) {
        if (hasMul)
            n = std::max(n, bitsForSigned(mul[i]));
        if (hasAdd)
            n = std::max(n, bitsForSigned(add[i]));
    }
    BitWriter w(data);
    w.ub(hasAdd, 1);
    w.ub(hasMul, 1);
    w.ub(n, 4);
    if (hasMul)
        for (int32_t v : mul)
            w.sb(v, n);
    if (hasAdd)
        for (int32_t v : add)
            w.sb(v, n);
}

// ---------------------------------------------------------------- Shape

int Shape::solidFill(const Rgba &c)
{
    m_fills.push_back(0x00);
    m_fills.insert(m_fills.end(), {c.r, c.g, c.b, c.a});
    return ++m_fillCount;
}

static void writeGradient(Bytes &out, uint8_t type, const Matrix &m,
                          const std::vector<std::pair<uint8_t, Rgba>> &stops)
{
    Buffer b;
    b.u8(type);
    b.matrix(m);
    b.u8(uint8_t(std::min<size_t>(stops.size(), 15))); // pad and RGB interpolation
    for (size_t i = 0; i < stops.size() && i < 15; ++i) {
        b.u8(stops[i].first);
        b.color(stops[i].second);
    }
    out.insert(out.end(), b.data.begin(), b.data.end());
}

int Shape::linearFill(int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                      const std::vector<std::pair<uint8_t, Rgba>> &stops, bool vertical)
{
    // The gradient square spans -16384..16384 twips; map it onto the box.
    Matrix m;
    const double sx = (x1 - x0) / 32768.0, sy = (y1 - y0) / 32768.0;
    if (vertical) {
        m.scaleX = 0;
        m.scaleY = 0;
        m.skew0 = sy;
        m.skew1 = -sx;
    } else {
        m.scaleX = sx;
        m.scaleY = sy;
    }
    m.tx = (x0 + x1) / 2;
    m.ty = (y0 + y1) / 2;
    writeGradient(m_fills, 0x10, m, stops);
    return ++m_fillCount;
}

int Shape::radialFill(int32_t cx, int32_t cy, int32_t radius,
                      const std::vector<std::pair<uint8_t, Rgba>> &stops)
{
    const Matrix m = Matrix::scaled(cx, cy, radius / 16384.0, radius / 16384.0);
    writeGradient(m_fills, 0x12, m, stops);
    return ++m_fillCount;
}

int Shape::lineStyle(uint16_t widthTwips, const Rgba &c)
{
    m_lines.push_back(uint8_t(widthTwips));
    m_lines.push_back(uint8_t(widthTwips >> 8));
    m_lines.insert(m_lines.end(), {c.r, c.g, c.b, c.a});
    m_maxLineWidth = std::max<int>(m_maxLineWidth, widthTwips);
    return ++m_lineCount;
}

void Shape::use(int fill, int line)
{
    m_fill = fill;
    m_line = line;
}

void Shape::grow(int32_t x, int32_t y)
{
    m_minX = std::min(m_minX, x);
    m_minY = std::min(m_minY, y);
    m_maxX = std::max(m_maxX, x);
    m_maxY = std::max(m_maxY, y);
}

void Shape::moveTo(int32_t x, int32_t y)
{
    Record r{Record::Style, x, y, 0, 0, m_fill, m_line};
    m_records.push_back(r);
    m_x = x;
    m_y = y;
    grow(x, y);
}

void Shape::lineTo(int32_t x, int32_t y)
{
    m_records.push_back(Record{Record::Line, x, y});
    m_x = x;
    m_y = y;
    grow(x, y);
}

void Shape::curveTo(int32_t cx, int32_t cy, int32_t x, int32_t y)
{
    m_records.push_back(Record{Record::Curve, cx, cy, x, y});
    m_x = x;
    m_y = y;
    grow(cx, cy);
    grow(x, y);
}

void Shape::rect(int32_t x, int32_t y, int32_t w, int32_t h)
{
    moveTo(x, y);
    lineTo(x + w, y);
    lineTo(x + w, y + h);
    lineTo(x, y + h);
    lineTo(x, y);
}

void Shape::roundRect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t r)
{
    moveTo(x + r, y);
    lineTo(x + w - r, y);
    curveTo(x + w, y, x + w, y + r);
    lineTo(x + w, y + h - r);
    curveTo(x + w, y + h, x + w - r, y + h);
    lineTo(x + r, y + h);
    curveTo(x, y + h, x, y + h - r);
    lineTo(x, y + r);
    curveTo(x, y, x + r, y);
}

void Shape::ellipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry)
{
    // Eight quadratic segments; the control points sit on the circumscribed octagon.
    const double k = 1.0 / std::cos(kPi / 8);
    moveTo(cx + rx, cy);
    for (int i = 1; i <= 8; ++i) {
        const double a = i * kPi / 4, c = a - kPi / 8;
        curveTo(cx + int32_t(std::lround(rx * k * std::cos(c))), cy + int32_t(std::lround(ry * k * std::sin(c))),
                cx + int32_t(std::lround(rx * std::cos(a))), cy + int32_t(std::lround(ry * std::sin(a))));
    }
}

void Shape::polygon(const std::vector<std::pair<int32_t, int32_t>> &points)
{
    if (points.empty())
        return;
    moveTo(points[0].first, points[0].second);
    for (size_t i = 1; i < points.size(); ++i)
        lineTo(points[i].first, points[i].second);
    lineTo(points[0].first, points[0].second);
}

void Shape::star(int32_t cx, int32_t cy, int32_t outer, int32_t inner, int points)
{
    std::vector<std::pair<int32_t, int32_t>> p;
    for (int i = 0; i < points * 2; ++i) {
        const double a = -kPi / 2 + i * kPi / points;
        const int32_t r = (i % 2) ? inner : outer;
        p.emplace_back(cx + int32_t(std::lround(r * std::cos(a))), cy + int32_t(std::lround(r * std::sin(a))));
    }
    polygon(p);
}

Bytes Shape::defineShape3(uint16_t id) const
{
    Buffer b;
    b.u16(id);
    const int32_t pad = m_maxLineWidth / 2 + 20;
    if (m_records.empty())
        b.rect(0, 0, 0, 0);
    else
        b.rect(m_minX - pad, m_maxX + pad, m_minY - pad, m_maxY + pad);

    auto styleArray = [&b](int count, const Bytes &styles) {
        if (count < 255) {
            b.u8(uint8_t(count));
        } else {
            b.u8(0xff);
            b.u16(uint16_t(count));
        }
        b.bytes(styles);
    };
    styleArray(m_fillCount, m_fills);
    styleArray(m_lineCount, m_lines);

    const int fillBits = bitsForUnsigned(m_fillCount);
    const int lineBits = bitsForUnsigned(m_lineCount);
    BitWriter w(b.data);
    w.ub(fillBits, 4);
    w.ub(lineBits, 4);
    int32_t x = 0, y = 0;
    for (const Record &r : m_records) {
        switch (r.kind) {
        case Record::Style: {
            w.ub(0, 1); // style change record
            w.ub(0, 1); // no new styles
            w.ub(1, 1); // line style
            w.ub(1, 1); // fill style 1
            w.ub(1, 1); // fill style 0
            w.ub(1, 1); // move to
            const int n = std::max(bitsForSigned(r.a), bitsForSigned(r.b));
            w.ub(n, 5);
            w.sb(r.a, n);
            w.sb(r.b, n);
            w.ub(r.fill, fillBits);
            w.ub(0, fillBits);
            w.ub(r.line, lineBits);
            x = r.a;
            y = r.b;
            break;
        }
        case Record::Line: {
            const int32_t dx = r.a - x, dy = r.b - y;
            const int n = std::max({2, bitsForSigned(dx), bitsForSigned(dy)});
            w.ub(1, 1);
            w.ub(1, 1);
            w.ub(n - 2, 4);
            w.ub(1, 1); // general line
            w.sb(dx, n);
            w.sb(dy, n);
            x = r.a;
            y = r.b;
            break;
        }
        case Record::Curve: {
            const int32_t cdx = r.a - x, cdy = r.b - y, adx = r.c - r.a, ady = r.d - r.b;
            const int n = std::max({2, bitsForSigned(cdx), bitsForSigned(cdy), bitsForSigned(adx),
                                    bitsForSigned(ady)});
            w.ub(1, 1);
            w.ub(0, 1);
            w.ub(n - 2, 4);
            w.sb(cdx, n);
            w.sb(cdy, n);
            w.sb(adx, n);
            w.sb(ady, n);
            x = r.c;
            y = r.d;
            break;
        }
        }
    }
    w.ub(0, 6); // end of shape
    w.flush();
    return tagBytes(32, b.data);
}

// ---------------------------------------------------------------- Actions

Actions &Actions::push(const std::vector<Value> &values)
{
    Buffer d;
    for (const Value &v : values) {
        switch (v.kind) {
        case Value::String:
            d.u8(0);
            d.str(v.s);
            break;
        case Value::Int:
            d.u8(7);
            d.u32(static_cast<uint32_t>(static_cast<int32_t>(v.n)));
            break;
        case Value::Double: {
            // Doubles are stored as two little-endian halves, high word first.
            uint64_t bits;
            std::memcpy(&bits, &v.n, sizeof bits);
            d.u8(6);
            d.u32(uint32_t(bits >> 32));
            d.u32(uint32_t(bits));
            break;
        }
        case Value::Bool:
            d.u8(5);
            d.u8(v.n != 0);
            break;
        case Value::Null:
            d.u8(2);
            break;
        case Value::Undefined:
            d.u8(3);
            break;
        }
    }
    m_code.u8(0x96);
    m_code.u16(uint16_t(d.data.size()));
    m_code.bytes(d.data);
    return *this;
}

Actions &Actions::op(uint8_t code)
{
    m_code.u8(code);
    return *this;
}

Actions &Actions::gotoFrame(uint16_t frameIndex)
{
    m_code.u8(0x81);
    m_code.u16(2);
    m_code.u16(frameIndex);
    return *this;
}

Actions &Actions::setTarget(const std::string &target)
{
    m_code.u8(0x8B);
    m_code.u16(uint16_t(target.size() + 1));
    m_code.str(target);
    return *this;
}

Actions &Actions::ifTrue(const std::string &label)
{
    m_code.u8(0x9D);
    m_code.u16(2);
    m_fixups.emplace_back(m_code.data.size(), label);
    m_code.u16(0);
    return *this;
}

Actions &Actions::jump(const std::string &label)
{
    m_code.u8(0x99);
    m_code.u16(2);
    m_fixups.emplace_back(m_code.data.size(), label);
    m_code.u16(0);
    return *this;
}

Actions &Actions::label(const std::string &name)
{
    m_labels[name] = m_code.data.size();
    return *this;
}

Actions &Actions::getUrl2(uint8_t flags)
{
    m_code.u8(0x9A);
    m_code.u16(1);
    m_code.u8(flags);
    return *this;
}

Actions &Actions::getProperty(const std::string &target, int property)
{
    push({target, property});
    return op(op::GetProperty);
}

Actions &Actions::callMethod(const std::string &object, const std::string &method, int argCount)
{
    push({argCount, object});
    op(op::GetVariable);
    push({method});
    return op(op::CallMethod);
}

Bytes Actions::bytes() const
{
    Bytes out = m_code.data;
    for (const auto &[at, name] : m_fixups) {
        auto it = m_labels.find(name);
        if (it == m_labels.end())
            throw std::runtime_error("undefined action label " + name);
        const int32_t offset = int32_t(it->second) - int32_t(at + 2);
        out[at] = uint8_t(offset);
        out[at + 1] = uint8_t(offset >> 8);
    }
    out.push_back(0);
    return out;
}

// ---------------------------------------------------------------- Timeline, Movie

Bytes tagBytes(uint16_t code, const Bytes &body)
{
    Buffer b;
    if (body.size() < 0x3f && code != 2 && code != 32) {
        b.u16(uint16_t((code << 6) | body.size()));
    } else {
        // Shapes always use the long header; some readers expect it there.
        b.u16(uint16_t((code << 6) | 0x3f));
        b.u32(uint32_t(body.size()));
    }
    b.bytes(body);
    return b.data;
}

void Timeline::tag(uint16_t code, const Bytes &body)
{
    m_tags.bytes(tagBytes(code, body));
}

void Timeline::place(const PlaceOptions &o)
{
    Buffer b;
    uint8_t flags = 0;
    if (o.character < 0)
        flags |= 0x01; // move
    else
        flags |= 0x02;
    if (o.matrix)
        flags |= 0x04;
    if (o.cxform)
        flags |= 0x08;
    if (!o.name.empty())
        flags |= 0x20;
    b.u8(flags);
    b.u16(o.depth);
    if (o.character >= 0)
        b.u16(uint16_t(o.character));
    if (o.matrix)
        b.matrix(*o.matrix);
    if (o.cxform)
        b.cxform(*o.cxform);
    if (!o.name.empty())
        b.str(o.name);
    tag(26, b.data);
}

void Timeline::remove(uint16_t depth)
{
    Buffer b;
    b.u16(depth);
    tag(28, b.data);
}

void Timeline::doAction(const Actions &a)
{
    tag(12, a.bytes());
}

void Timeline::showFrame()
{
    tag(1, {});
    ++m_frames;
}

Movie::Movie(int widthPx, int heightPx, double fps, const Rgba &background)
    : m_width(widthPx), m_height(heightPx), m_fps(fps), m_background(background)
{
}

uint16_t Movie::defineShape(const Shape &s)
{
    const uint16_t id = nextId();
    m_defs.bytes(s.defineShape3(id));
    return id;
}

uint16_t Movie::defineSprite(const Timeline &t)
{
    const uint16_t id = nextId();
    Buffer b;
    b.u16(id);
    b.u16(uint16_t(t.frames()));
    b.bytes(t.data());
    b.bytes(tagBytes(0, {}));
    m_defs.bytes(tagBytes(39, b.data));
    return id;
}

uint16_t Movie::defineButton(const std::vector<ButtonRecord> &records,
                             const std::vector<ButtonAction> &actions, bool trackAsMenu)
{
    const uint16_t id = nextId();
    Buffer b;
    b.u16(id);
    b.u8(trackAsMenu ? 1 : 0);
    const size_t offsetField = b.data.size();
    b.u16(0);
    for (const ButtonRecord &r : records) {
        b.u8(r.states & 0x0f);
        b.u16(r.character);
        b.u16(r.depth);
        b.matrix(r.matrix);
        b.cxform(ColorTransform{});
    }
    b.u8(0);
    if (!actions.empty()) {
        const size_t first = b.data.size();
        const uint16_t offset = uint16_t(first - offsetField);
        b.data[offsetField] = uint8_t(offset);
        b.data[offsetField + 1] = uint8_t(offset >> 8);
        for (size_t i = 0; i < actions.size(); ++i) {
            const Bytes code = actions[i].actions.bytes();
            const bool last = i + 1 == actions.size();
            b.u16(last ? 0 : uint16_t(4 + code.size()));
            b.u16(actions[i].conditions);
            b.bytes(code);
        }
    }
    m_defs.bytes(tagBytes(34, b.data));
    return id;
}

Bytes deviceFontTag(uint16_t id, const std::string &name)
{
    Buffer b;
    b.u16(id);
    b.u8(0x04); // wide codes
    b.u8(0);    // no language
    b.u8(uint8_t(name.size()));
    for (char c : name)
        b.u8(uint8_t(c));
    b.u16(0); // glyphs
    b.u16(0); // code table offset, as Flash writes it for none
    return tagBytes(48, b.data);
}

Bytes editTextTag(uint16_t id, uint16_t font, const Rgba &colour, const std::string &text, int sizePx)
{
    Buffer b;
    b.u16(id);
    b.rect(0, 190 * 20, 0, 2 * sizePx * 20);
    b.u8(0x80 | 0x08 | 0x04 | 0x01); // has text, read-only, has colour, has font
    b.u8(0x40);                      // auto size
    b.u16(font);
    b.u16(uint16_t(sizePx * 20));
    b.color(colour);
    b.str("");
    b.str(text);
    return tagBytes(37, b.data);
}

Bytes Movie::finish() const
{
    Buffer body;
    body.rect(0, m_width * 20, 0, m_height * 20);
    body.u16(uint16_t(std::lround(m_fps * 256)));
    body.u16(uint16_t(m_main.frames()));
    body.bytes(tagBytes(69, {0, 0, 0, 0})); // file attributes: AVM1, no network
    body.bytes(tagBytes(9, {m_background.r, m_background.g, m_background.b}));
    body.bytes(m_defs.data);
    body.bytes(m_main.data());
    body.bytes(tagBytes(0, {}));

    Buffer file;
    file.u8('F');
    file.u8('W');
    file.u8('S');
    file.u8(8);
    file.u32(uint32_t(8 + body.data.size()));
    file.bytes(body.data);
    return file.data;
}

} // namespace swf
