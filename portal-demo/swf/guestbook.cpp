#include "games.h"

using namespace swf;

namespace {

constexpr int W = 550, H = 400;
constexpr int32_t px(int v) { return v * 20; }

// DefineFont2 naming a device font: no glyphs, the name in UTF-8.
Bytes deviceFont(uint16_t id, const std::string &name)
{
    Buffer b;
    b.u16(id);
    b.u8(0x04); // wide codes
    b.u8(0);
    b.u8(uint8_t(name.size()));
    for (char c : name)
        b.u8(uint8_t(c));
    b.u16(0);
    b.u16(0);
    return tagBytes(48, b.data);
}

// DefineEditText in a device font, `width` x `height` px: an input field
// with a border (at most `maxLength` characters) or, with `text`, a
// read-only label.
Bytes textField(uint16_t id, uint16_t font, int width, int height, int size, uint32_t colour,
                const std::string &text, uint16_t maxLength = 0)
{
    Buffer b;
    b.u16(id);
    b.rect(0, px(width), 0, px(height));
    const bool input = text.empty();
    b.u8(uint8_t((input ? 0x02 : 0x80 | 0x08) | 0x04 | 0x01)); // max length or text + read-only; colour; font
    b.u8(input ? 0x08 : 0x10);                                  // border, or not selectable
    b.u16(font);
    b.u16(uint16_t(px(size)));
    b.color(rgb(colour));
    if (input)
        b.u16(maxLength);
    b.str("");
    if (!input)
        b.str(text);
    return tagBytes(37, b.data);
}

void report(Actions &a, const std::string &address)
{
    a.push({address, "_level0"});
    a.getUrl2(geturl::LoadVariables);
}

} // namespace

Bytes buildGuestbook(const std::string &reportBase)
{
    Movie m(W, H, 24, rgb(0xfff3e0));
    Shape paper;
    paper.use(paper.solidFill(rgb(0xffe0b2)), paper.lineStyle(40, rgb(0xe65100)));
    paper.roundRect(px(40), px(60), px(W - 80), px(H - 120), px(16));
    const uint16_t back = m.defineShape(paper);

    const uint16_t font = m.nextId(), title = m.nextId(), hint = m.nextId(), field = m.nextId();
    m.main().raw(deviceFont(font, "_sans"));
    m.main().raw(textField(title, font, 300, 40, 28, 0xbf360c, "留言板"));
    m.main().raw(textField(hint, font, 440, 30, 16, 0x4e342e, "写下你的名字或一句话，直接打字就行："));
    m.main().raw(textField(field, font, 420, 36, 22, 0x000000, std::string(), 40));

    const auto place = [&](uint16_t depth, uint16_t character, int x, int y, const std::string &name = {}) {
        const Matrix at = Matrix::translate(px(x), px(y));
        PlaceOptions o;
        o.depth = depth;
        o.character = character;
        o.matrix = &at;
        o.name = name;
        m.main().place(o);
    };
    place(1, back, 0, 0);
    place(2, title, 70, 80);
    place(3, hint, 70, 150);
    place(4, field, 65, 200, "msg");

    // The field has the keyboard from the start; the movie says it is there.
    Actions start;
    start.push({"shown", ""});
    start.op(op::SetVariable);
    start.push({"msg"});
    start.op(op::GetVariable);
    start.callMethod("Selection", "setFocus", 1);
    start.op(op::Pop);
    report(start, reportBase + "guestbook/ready");
    m.main().doAction(start);
    m.main().showFrame();

    // Every change of the field goes to reportBase + "guestbook/report?t=<escaped text>".
    Actions watch;
    watch.push({"msg"});
    watch.op(op::GetVariable);
    watch.push({"text"});
    watch.op(op::GetMember);
    watch.push({"shown"});
    watch.op(op::GetVariable);
    watch.op(op::Equals2);
    watch.ifTrue("same");
    watch.push({"shown", "msg"});
    watch.op(op::GetVariable);
    watch.push({"text"});
    watch.op(op::GetMember);
    watch.op(op::SetVariable);
    watch.push({reportBase + "guestbook/report?t=", "shown"});
    watch.op(op::GetVariable);
    watch.push({1, "escape"});
    watch.op(op::CallFunction);
    watch.op(op::Add2);
    watch.push({"_level0"});
    watch.getUrl2(geturl::LoadVariables);
    watch.label("same");
    m.main().doAction(watch);
    m.main().showFrame();

    Actions again;
    again.gotoFrame(1);
    again.op(op::Play);
    m.main().doAction(again);
    m.main().showFrame();
    return m.finish();
}
