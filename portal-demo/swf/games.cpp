#include "games.h"

#include <cmath>

using namespace swf;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int W = 550, H = 400;

constexpr int32_t px(double v) { return int32_t(v * 20); }

using Stops = std::vector<std::pair<uint8_t, Rgba>>;

uint16_t skyBackground(Movie &m, uint32_t top, uint32_t bottom)
{
    Shape s;
    s.use(s.linearFill(0, 0, px(W), px(H), {{0, rgb(top)}, {255, rgb(bottom)}}, true));
    s.rect(0, 0, px(W), px(H));
    return m.defineShape(s);
}

uint16_t rectShape(Movie &m, double x, double y, double w, double h, uint32_t color, uint8_t alpha = 255)
{
    Shape s;
    s.use(s.solidFill(rgb(color, alpha)));
    s.rect(px(x), px(y), px(w), px(h));
    return m.defineShape(s);
}

uint16_t ballShape(Movie &m, double r, uint32_t light, uint32_t dark)
{
    Shape s;
    s.use(s.radialFill(px(-r / 3), px(-r / 3), px(r * 1.5),
                       {{0, rgb(0xffffff)}, {60, rgb(light)}, {255, rgb(dark)}}));
    s.circle(0, 0, px(r));
    return m.defineShape(s);
}

uint16_t ellipseShape(Movie &m, double rx, double ry, const Rgba &color)
{
    Shape s;
    s.use(s.solidFill(color));
    s.ellipse(0, 0, px(rx), px(ry));
    return m.defineShape(s);
}

void placeAt(Timeline &t, uint16_t depth, int character, const Matrix &m,
             const std::string &name = {}, const ColorTransform *cx = nullptr)
{
    PlaceOptions o;
    o.depth = depth;
    o.character = character;
    o.matrix = &m;
    o.cxform = cx;
    o.name = name;
    t.place(o);
}

void moveTo(Timeline &t, uint16_t depth, const Matrix &m, const ColorTransform *cx = nullptr)
{
    placeAt(t, depth, -1, m, {}, cx);
}

// A sprite that turns its one child a full circle in `frames` frames.
uint16_t spinner(Movie &m, uint16_t child, int frames)
{
    Timeline t;
    for (int f = 0; f < frames; ++f) {
        const Matrix r = Matrix::transform(0, 0, 360.0 * f / frames);
        if (f == 0)
            placeAt(t, 1, child, r);
        else
            moveTo(t, 1, r);
        t.showFrame();
    }
    return m.defineSprite(t);
}

// "if the key is held, add delta to property of target".
void keyMove(Actions &a, int key, const std::string &target, int property, int delta, const std::string &tag)
{
    a.push({key});
    a.callMethod("Key", "isDown", 1);
    a.op(op::Not);
    a.ifTrue(tag);
    a.push({target, property});
    a.getProperty(target, property);
    a.push({delta});
    a.op(op::Add2);
    a.op(op::SetProperty);
    a.label(tag);
}

// Keeps a property of target within [lo, hi].
void clamp(Actions &a, const std::string &target, int property, int lo, int hi, const std::string &tag)
{
    a.getProperty(target, property);
    a.push({lo});
    a.op(op::Less2);
    a.op(op::Not);
    a.ifTrue(tag + "hi");
    a.push({target, property, lo});
    a.op(op::SetProperty);
    a.label(tag + "hi");
    a.push({hi});
    a.getProperty(target, property);
    a.op(op::Less2);
    a.op(op::Not);
    a.ifTrue(tag + "end");
    a.push({target, property, hi});
    a.op(op::SetProperty);
    a.label(tag + "end");
}

// Toggles a clip between playing and stopped, remembering the state in a variable.
Actions toggleClip(const std::string &target, const std::string &flag)
{
    Actions a;
    a.push({flag});
    a.op(op::GetVariable);
    a.push({1});
    a.op(op::Equals2);
    a.ifTrue("resume");
    a.setTarget(target).op(op::Stop).setTarget("");
    a.push({flag, 1});
    a.op(op::SetVariable);
    a.jump("end");
    a.label("resume");
    a.setTarget(target).op(op::Play).setTarget("");
    a.push({flag, 0});
    a.op(op::SetVariable);
    a.label("end");
    return a;
}

} // namespace

// Five glossy balls bounce on a meadow under a turning sun.
Bytes buildBouncingBalls()
{
    Movie m(W, H, 24, rgb(0x9fd8ff));
    const uint16_t sky = skyBackground(m, 0x5fb4f0, 0xe6f6ff);
    const uint16_t ground = rectShape(m, 0, 330, W, 70, 0x5cb85c);
    Shape edge;
    edge.use(edge.solidFill(rgb(0x3d8b3d)));
    edge.rect(0, px(330), px(W), px(6));
    const uint16_t grassEdge = m.defineShape(edge);

    Shape sunShape;
    sunShape.use(sunShape.solidFill(rgb(0xffd23f)));
    sunShape.star(0, 0, px(46), px(30), 12);
    const uint16_t sunRays = m.defineShape(sunShape);
    const uint16_t sunDisc = ballShape(m, 26, 0xffe680, 0xffa500);
    const uint16_t sun = spinner(m, sunRays, 48);

    const struct { uint32_t light, dark; double height; int period; } balls[] = {
        {0xff8080, 0xc0392b, 230, 24}, {0xffc266, 0xe67e22, 170, 20}, {0xc8f07a, 0x5a9e1a, 250, 28},
        {0x7fc4ff, 0x1f5fbf, 200, 22}, {0xd7a3ff, 0x7d3cc0, 140, 18},
    };
    std::vector<uint16_t> ballIds;
    for (const auto &b : balls)
        ballIds.push_back(ballShape(m, 28, b.light, b.dark));
    const uint16_t shadow = ellipseShape(m, 30, 7, rgb(0x1e4d1e, 110));

    Timeline &t = m.main();
    placeAt(t, 1, sky, Matrix());
    placeAt(t, 2, ground, Matrix());
    placeAt(t, 3, grassEdge, Matrix());
    placeAt(t, 4, sun, Matrix::translate(px(470), px(70)));
    placeAt(t, 5, sunDisc, Matrix::translate(px(470), px(70)));

    const int frames = 48;
    for (int f = 0; f < frames; ++f) {
        for (size_t i = 0; i < ballIds.size(); ++i) {
            const auto &b = balls[i];
            const double phase = std::fmod(double(f + i * 5) / b.period, 1.0);
            const double lift = std::sin(phase * kPi) * b.height;
            const double x = 70 + i * 100 + 20 * std::sin(2 * kPi * f / frames + i);
            const double squash = lift < 12 ? 0.78 : 1.0;
            const double y = 330 - 28 * squash - lift;
            const Matrix ball = Matrix::scaled(px(x), px(y), 2.0 - squash, squash);
            const double shadowScale = 1.0 - 0.6 * lift / 260;
            const Matrix sh = Matrix::scaled(px(x), px(336), shadowScale, shadowScale);
            const uint16_t depth = uint16_t(10 + i * 2);
            if (f == 0) {
                placeAt(t, depth, shadow, sh);
                placeAt(t, depth + 1, ballIds[i], ball);
            } else {
                moveTo(t, depth, sh);
                moveTo(t, depth + 1, ball);
            }
        }
        t.showFrame();
    }
    return m.finish();
}

// Apples fall from a night sky; the arrow keys move the basket.
Bytes buildCatchApples()
{
    Movie m(W, H, 24, rgb(0x0b1a3a));
    const uint16_t sky = skyBackground(m, 0x0b1a3a, 0x2f5a9a);
    const uint16_t moon = ballShape(m, 34, 0xfffbe0, 0xe8d98a);
    const uint16_t grass = rectShape(m, 0, 352, W, 48, 0x2e7d32);

    Shape starShape;
    starShape.use(starShape.solidFill(rgb(0xfff7b0)));
    starShape.star(0, 0, px(7), px(3), 5);
    const uint16_t star = m.defineShape(starShape);
    Timeline twinkle;
    for (int f = 0; f < 16; ++f) {
        ColorTransform c;
        c.mulA = 0.35 + 0.65 * (0.5 + 0.5 * std::cos(2 * kPi * f / 16));
        const Matrix mm = Matrix::transform(0, 0, f * 6);
        if (f == 0)
            placeAt(twinkle, 1, star, mm, {}, &c);
        else
            moveTo(twinkle, 1, mm, &c);
        twinkle.showFrame();
    }
    const uint16_t twinkleStar = m.defineSprite(twinkle);

    Shape appleShape;
    appleShape.use(appleShape.radialFill(px(-5), px(-5), px(22),
                                         {{0, rgb(0xff9a9a)}, {90, rgb(0xe53935)}, {255, rgb(0x8e1111)}}));
    appleShape.circle(0, 0, px(13));
    const uint16_t appleBody = m.defineShape(appleShape);
    Shape leafShape;
    leafShape.use(leafShape.solidFill(rgb(0x43a047)));
    leafShape.moveTo(0, px(-12));
    leafShape.curveTo(px(8), px(-24), px(14), px(-18));
    leafShape.curveTo(px(6), px(-10), 0, px(-12));
    const uint16_t leaf = m.defineShape(leafShape);

    // One falling apple: drops from above the stage to the grass, then again.
    auto fallingApple = [&](int frames) {
        Timeline t;
        for (int f = 0; f < frames; ++f) {
            const double y = -40 + (f * f) * 400.0 / (frames * frames);
            const Matrix a = Matrix::transform(0, px(y), f * 9);
            if (f == 0) {
                placeAt(t, 1, appleBody, a);
                placeAt(t, 2, leaf, a);
            } else {
                moveTo(t, 1, a);
                moveTo(t, 2, a);
            }
            t.showFrame();
        }
        return m.defineSprite(t);
    };
    const uint16_t appleA = fallingApple(40), appleB = fallingApple(52), appleC = fallingApple(33);

    Shape basketShape;
    basketShape.use(basketShape.linearFill(px(-45), px(-18), px(45), px(18),
                                           {{0, rgb(0xc58b4c)}, {255, rgb(0x7a4a1e)}}, true),
                    basketShape.lineStyle(40, rgb(0x5d3412)));
    basketShape.polygon({{px(-45), px(-18)}, {px(45), px(-18)}, {px(32), px(18)}, {px(-32), px(18)}});
    const uint16_t basketBody = m.defineShape(basketShape);
    Timeline basketT;
    placeAt(basketT, 1, basketBody, Matrix());
    basketT.showFrame();
    const uint16_t basket = m.defineSprite(basketT);

    Timeline &t = m.main();
    placeAt(t, 1, sky, Matrix());
    placeAt(t, 2, moon, Matrix::translate(px(90), px(80)));
    const int starPos[][2] = {{200, 40}, {300, 90}, {420, 50}, {500, 130}, {160, 150}, {360, 170}, {60, 200}};
    uint16_t depth = 3;
    for (const auto &p : starPos)
        placeAt(t, depth++, twinkleStar, Matrix::translate(px(p[0]), px(p[1])));
    placeAt(t, 20, grass, Matrix());
    placeAt(t, 21, appleA, Matrix::translate(px(150), 0));
    placeAt(t, 22, appleB, Matrix::translate(px(300), 0));
    placeAt(t, 23, appleC, Matrix::translate(px(440), 0));
    placeAt(t, 30, basket, Matrix::translate(px(275), px(335)), "basket");

    // The same logic runs on both frames, so it runs once per frame while the
    // two-frame main timeline loops.
    for (int f = 0; f < 2; ++f) {
        Actions a;
        const std::string tag = std::to_string(f);
        keyMove(a, 37, "/basket", prop::X, -12, "left" + tag);
        keyMove(a, 39, "/basket", prop::X, 12, "right" + tag);
        clamp(a, "/basket", prop::X, 45, W - 45, "clamp" + tag);
        t.doAction(a);
        t.showFrame();
    }
    return m.finish();
}

// Balloons rise over a city; a click pops one, and a new one rises.
Bytes buildBalloons()
{
    Movie m(W, H, 24, rgb(0xbfe6ff));
    const uint16_t sky = skyBackground(m, 0x8fd3ff, 0xfff3d6);
    Shape city;
    city.use(city.solidFill(rgb(0x7f8fa6)));
    const int blocks[][2] = {{0, 70}, {60, 110}, {110, 60}, {170, 130}, {230, 80}, {290, 150},
                             {350, 90}, {410, 120}, {470, 70}, {520, 100}};
    for (const auto &b : blocks)
        city.rect(px(b[0]), px(H - b[1]), px(50), px(b[1]));
    const uint16_t buildings = m.defineShape(city);

    const uint32_t colors[][2] = {{0xff5e5e, 0xffb3b3}, {0xffc93c, 0xffe7a3}, {0x4cd964, 0xaef0b9},
                                  {0x5ac8fa, 0xb9e8fd}, {0xc86dd7, 0xe8bdf0}};
    Shape hit;
    hit.use(hit.solidFill(rgb(0)));
    hit.ellipse(0, 0, px(26), px(32));
    const uint16_t hitArea = m.defineShape(hit);
    Shape burstShape;
    burstShape.use(burstShape.solidFill(rgb(0xfff176)));
    burstShape.star(0, 0, px(40), px(16), 10);
    const uint16_t burst = m.defineShape(burstShape);

    auto balloonShape = [&](uint32_t body, uint32_t shine) {
        Shape s;
        s.use(s.radialFill(px(-8), px(-12), px(44), {{0, rgb(shine)}, {120, rgb(body)}, {255, rgb(body)}}));
        s.ellipse(0, 0, px(26), px(32));
        s.use(s.solidFill(rgb(body)));
        s.polygon({{px(-5), px(38)}, {px(5), px(38)}, {0, px(31)}});
        s.use(0, s.lineStyle(20, rgb(0x555555)));
        s.moveTo(0, px(38));
        s.curveTo(px(8), px(52), 0, px(66));
        s.curveTo(px(-8), px(80), 0, px(92));
        return m.defineShape(s);
    };

    // Each balloon is a sprite that stands still on its first frame (the
    // button); a click plays the burst and leaves it empty. The main timeline
    // carries the sprites up and brings a popped one back when it wraps round.
    const int rise = 120, popFrames = 8;
    std::vector<uint16_t> sprites;
    for (size_t i = 0; i < 5; ++i) {
        const uint16_t normal = balloonShape(colors[i][0], colors[i][1]);
        const uint16_t bright = balloonShape(colors[i][1], 0xffffff);
        Actions pop;
        pop.gotoFrame(1).op(op::Play);
        std::vector<ButtonAction> actions;
        actions.push_back(ButtonAction{cond::Press, pop});
        const uint16_t button = m.defineButton(
            {{ButtonState::Up, normal, 1, Matrix()},
             {ButtonState::Over | ButtonState::Down, bright, 1, Matrix()},
             {ButtonState::Hit, hitArea, 2, Matrix()}},
            actions);

        Timeline t;
        Actions stop;
        stop.op(op::Stop);
        placeAt(t, 1, button, Matrix());
        t.doAction(stop);
        t.showFrame();
        for (int f = 0; f < popFrames; ++f) {
            ColorTransform fade;
            fade.mulA = 1.0 - double(f) / popFrames;
            const Matrix mm = Matrix::transform(0, 0, f * 12, 0.4 + f * 0.25);
            if (f == 0) {
                t.remove(1);
                placeAt(t, 2, burst, mm, {}, &fade);
            } else {
                moveTo(t, 2, mm, &fade);
            }
            t.showFrame();
        }
        t.remove(2);
        t.doAction(stop);
        t.showFrame();
        sprites.push_back(m.defineSprite(t));
    }

    Timeline &t = m.main();
    placeAt(t, 1, sky, Matrix());
    placeAt(t, 2, buildings, Matrix());
    for (int f = 0; f < rise; ++f) {
        Actions revive;
        bool anyRevive = false;
        for (size_t i = 0; i < sprites.size(); ++i) {
            const int k = (f + int(i) * 23) % rise;
            const double y = 460 - k * 560.0 / rise;
            const double x = 60 + i * 105 + 22 * std::sin(2 * kPi * (k / 60.0) + i);
            const Matrix mm = Matrix::transform(px(x), px(y), 6 * std::sin(2 * kPi * k / 40.0));
            const uint16_t depth = uint16_t(10 + i);
            if (f == 0)
                placeAt(t, depth, sprites[i], mm, "b" + std::to_string(i));
            else
                moveTo(t, depth, mm);
            if (k == 0) {
                revive.setTarget("/b" + std::to_string(i)).gotoFrame(0).op(op::Stop).setTarget("");
                anyRevive = true;
            }
        }
        if (anyRevive)
            t.doAction(revive);
        t.showFrame();
    }
    return m.finish();
}

// A windmill turns on a hill at sunset; a click on it stops or restarts it.
Bytes buildWindmill()
{
    Movie m(W, H, 24, rgb(0xff9a5a));
    const uint16_t sky = skyBackground(m, 0x6a3fa0, 0xffb36b);
    const uint16_t hillBack = ellipseShape(m, 260, 90, rgb(0x6d9b3a));
    const uint16_t hillFront = ellipseShape(m, 330, 100, rgb(0x4f7d28));
    const uint16_t sunDisc = ballShape(m, 40, 0xfff1a8, 0xff7f2a);

    Shape tower;
    tower.use(tower.linearFill(px(-40), 0, px(40), 0, {{0, rgb(0xf5e6c8)}, {255, rgb(0xb89b6a)}}, false),
              tower.lineStyle(30, rgb(0x6b4f2a)));
    tower.polygon({{px(-22), px(-10)}, {px(22), px(-10)}, {px(40), px(170)}, {px(-40), px(170)}});
    const uint16_t towerId = m.defineShape(tower);
    Shape door;
    door.use(door.solidFill(rgb(0x6b4f2a)));
    door.roundRect(px(-12), px(130), px(24), px(40), px(10));
    const uint16_t doorId = m.defineShape(door);

    Shape blades;
    blades.use(blades.solidFill(rgb(0xfafafa)), blades.lineStyle(30, rgb(0x8d6e63)));
    for (int i = 0; i < 4; ++i) {
        const double a = i * kPi / 2;
        auto pt = [a](double along, double across) {
            return std::pair<int32_t, int32_t>(px(along * std::cos(a) - across * std::sin(a)),
                                               px(along * std::sin(a) + across * std::cos(a)));
        };
        blades.polygon({pt(14, -5), pt(130, -16), pt(130, 16), pt(14, 5)});
    }
    const uint16_t bladeId = m.defineShape(blades);
    const uint16_t hub = ballShape(m, 12, 0xffe082, 0xc68a00);
    const uint16_t turning = spinner(m, bladeId, 60);

    Shape cloudShape;
    cloudShape.use(cloudShape.solidFill(rgb(0xffffff, 200)));
    cloudShape.ellipse(0, 0, px(60), px(22));
    const uint16_t cloud = m.defineShape(cloudShape);
    Timeline drift;
    const int driftFrames = 160;
    for (int f = 0; f < driftFrames; ++f) {
        const Matrix a = Matrix::translate(px(-80 + f * 710.0 / driftFrames), px(60));
        const Matrix b = Matrix::scaled(px(-80 + std::fmod(f * 710.0 / driftFrames + 350, 710)), px(120), 0.7, 0.7);
        if (f == 0) {
            placeAt(drift, 1, cloud, a);
            placeAt(drift, 2, cloud, b);
        } else {
            moveTo(drift, 1, a);
            moveTo(drift, 2, b);
        }
        drift.showFrame();
    }
    const uint16_t clouds = m.defineSprite(drift);

    Shape hit;
    hit.use(hit.solidFill(rgb(0)));
    hit.rect(px(-130), px(-130), px(260), px(310));
    const uint16_t hitId = m.defineShape(hit);
    Shape ring;
    ring.use(0, ring.lineStyle(60, rgb(0xffeb3b)));
    ring.circle(0, 0, px(20));
    const uint16_t ringId = m.defineShape(ring);
    std::vector<ButtonAction> actions;
    actions.push_back(ButtonAction{cond::Press, toggleClip("/blades", "stopped")});
    const uint16_t button = m.defineButton(
        {{ButtonState::Over | ButtonState::Down, ringId, 1, Matrix()}, {ButtonState::Hit, hitId, 2, Matrix()}},
        actions);

    Timeline &t = m.main();
    placeAt(t, 1, sky, Matrix());
    placeAt(t, 2, sunDisc, Matrix::translate(px(120), px(250)));
    placeAt(t, 3, clouds, Matrix());
    placeAt(t, 4, hillBack, Matrix::translate(px(120), px(400)));
    placeAt(t, 5, hillFront, Matrix::translate(px(430), px(420)));
    placeAt(t, 6, towerId, Matrix::translate(px(380), px(170)));
    placeAt(t, 7, doorId, Matrix::translate(px(380), px(170)));
    placeAt(t, 8, turning, Matrix::translate(px(380), px(160)), "blades");
    placeAt(t, 9, hub, Matrix::translate(px(380), px(160)));
    placeAt(t, 10, button, Matrix::translate(px(380), px(160)));
    t.showFrame();
    return m.finish();
}

// A prize wheel with blinking lights; the centre button stops or restarts it.
Bytes buildLuckyWheel()
{
    Movie m(W, H, 30, rgb(0x7a0c0c));
    Shape bg;
    bg.use(bg.radialFill(px(W / 2), px(H / 2), px(420), {{0, rgb(0xd32f2f)}, {255, rgb(0x4a0606)}}));
    bg.rect(0, 0, px(W), px(H));
    const uint16_t back = m.defineShape(bg);

    const double R = 150;
    Shape rim;
    rim.use(rim.radialFill(0, 0, px(R + 14), {{0, rgb(0xffe082)}, {200, rgb(0xffc107)}, {255, rgb(0xb07d00)}}));
    rim.circle(0, 0, px(R + 14));
    const uint16_t rimId = m.defineShape(rim);

    const uint32_t segColors[] = {0xff5252, 0xffeb3b, 0x40c4ff, 0x69f0ae, 0xff6e40, 0xe040fb, 0x448aff, 0xb2ff59};
    Shape wheel;
    wheel.use(0, wheel.lineStyle(30, rgb(0xffffff)));
    for (int i = 0; i < 8; ++i) {
        const double a0 = i * kPi / 4, a1 = (i + 1) * kPi / 4, am = (a0 + a1) / 2;
        const double k = 1.0 / std::cos(kPi / 8);
        wheel.use(wheel.solidFill(rgb(segColors[i])), 1);
        wheel.moveTo(0, 0);
        wheel.lineTo(px(R * std::cos(a0)), px(R * std::sin(a0)));
        wheel.curveTo(px(R * k * std::cos(am)), px(R * k * std::sin(am)), px(R * std::cos(a1)), px(R * std::sin(a1)));
        wheel.lineTo(0, 0);
    }
    const uint16_t wheelId = m.defineShape(wheel);
    const uint16_t spinning = spinner(m, wheelId, 24);

    Shape bulbOn, bulbOff;
    bulbOn.use(bulbOn.solidFill(rgb(0xfffde7)));
    bulbOn.circle(0, 0, px(6));
    bulbOff.use(bulbOff.solidFill(rgb(0xb26a00)));
    bulbOff.circle(0, 0, px(6));
    const uint16_t on = m.defineShape(bulbOn), off = m.defineShape(bulbOff);
    // Lights around the rim, every other one lit, swapping every few frames.
    Timeline lights;
    for (int f = 0; f < 12; ++f) {
        const bool swap = f >= 6;
        if (f == 0 || f == 6) {
            for (int i = 0; i < 16; ++i) {
                const double a = i * kPi / 8;
                const Matrix mm = Matrix::translate(px((R + 7) * std::cos(a)), px((R + 7) * std::sin(a)));
                if (f == 6)
                    lights.remove(uint16_t(1 + i));
                placeAt(lights, uint16_t(1 + i), ((i % 2) != swap) ? on : off, mm);
            }
        }
        lights.showFrame();
    }
    const uint16_t lightsId = m.defineSprite(lights);

    Shape pointer;
    pointer.use(pointer.solidFill(rgb(0xffffff)), pointer.lineStyle(30, rgb(0x333333)));
    pointer.polygon({{px(-16), px(-20)}, {px(16), px(-20)}, {0, px(18)}});
    const uint16_t pointerId = m.defineShape(pointer);

    const uint16_t knobUp = ballShape(m, 32, 0xff8a80, 0xb71c1c);
    const uint16_t knobOver = ballShape(m, 34, 0xffd180, 0xe65100);
    std::vector<ButtonAction> actions;
    actions.push_back(ButtonAction{cond::Press, toggleClip("/wheel", "stopped")});
    const uint16_t knob = m.defineButton({{ButtonState::Up | ButtonState::Hit, knobUp, 1, Matrix()},
                                          {ButtonState::Over | ButtonState::Down, knobOver, 1, Matrix()}},
                                         actions);

    Timeline &t = m.main();
    placeAt(t, 1, back, Matrix());
    placeAt(t, 2, rimId, Matrix::translate(px(W / 2), px(H / 2 + 10)));
    placeAt(t, 3, spinning, Matrix::translate(px(W / 2), px(H / 2 + 10)), "wheel");
    placeAt(t, 4, lightsId, Matrix::translate(px(W / 2), px(H / 2 + 10)));
    placeAt(t, 5, pointerId, Matrix::translate(px(W / 2), px(H / 2 + 10 - R - 4)));
    placeAt(t, 6, knob, Matrix::translate(px(W / 2), px(H / 2 + 10)));
    t.showFrame();
    return m.finish();
}

// A car on a country road at night; the arrow keys steer it past the traffic.
Bytes buildRacing()
{
    Movie m(W, H, 30, rgb(0x1b5e20));
    const uint16_t grass = rectShape(m, 0, 0, W, H, 0x2e7d32);
    Shape road;
    road.use(road.linearFill(px(130), 0, px(420), 0, {{0, rgb(0x424242)}, {128, rgb(0x616161)}, {255, rgb(0x424242)}}, false));
    road.rect(px(130), 0, px(290), px(H));
    const uint16_t roadId = m.defineShape(road);
    Shape kerb;
    kerb.use(kerb.solidFill(rgb(0xeeeeee)));
    kerb.rect(px(122), 0, px(8), px(H));
    kerb.rect(px(420), 0, px(8), px(H));
    const uint16_t kerbId = m.defineShape(kerb);

    Shape dash;
    dash.use(dash.solidFill(rgb(0xffeb3b)));
    for (int i = -1; i < 6; ++i)
        dash.rect(px(270), px(i * 80), px(10), px(44));
    const uint16_t dashes = m.defineShape(dash);
    Timeline lane;
    for (int f = 0; f < 10; ++f) {
        const Matrix mm = Matrix::translate(0, px(f * 8));
        if (f == 0)
            placeAt(lane, 1, dashes, mm);
        else
            moveTo(lane, 1, mm);
        lane.showFrame();
    }
    const uint16_t laneId = m.defineSprite(lane);

    Shape treeShape;
    treeShape.use(treeShape.radialFill(px(-6), px(-6), px(30), {{0, rgb(0x81c784)}, {255, rgb(0x1b5e20)}}));
    treeShape.circle(0, 0, px(24));
    const uint16_t tree = m.defineShape(treeShape);
    Timeline trees;
    const int treeFrames = 40;
    for (int f = 0; f < treeFrames; ++f) {
        for (int i = 0; i < 6; ++i) {
            const double y = std::fmod(f * 12.0 + i * 80, 480) - 40;
            const double x = (i % 2) ? 470 + (i * 13) % 40 : 40 + (i * 17) % 50;
            const Matrix mm = Matrix::translate(px(x), px(y));
            if (f == 0)
                placeAt(trees, uint16_t(1 + i), tree, mm);
            else
                moveTo(trees, uint16_t(1 + i), mm);
        }
        trees.showFrame();
    }
    const uint16_t treesId = m.defineSprite(trees);

    auto carShape = [&](uint32_t body, uint32_t roof) {
        Shape s;
        s.use(s.solidFill(rgb(0x212121)));
        s.rect(px(-26), px(-30), px(8), px(18));
        s.rect(px(18), px(-30), px(8), px(18));
        s.rect(px(-26), px(14), px(8), px(18));
        s.rect(px(18), px(14), px(8), px(18));
        const uint16_t wheels = m.defineShape(s);
        Shape b;
        b.use(b.linearFill(px(-20), 0, px(20), 0, {{0, rgb(body)}, {128, rgb(roof)}, {255, rgb(body)}}, false));
        b.roundRect(px(-20), px(-40), px(40), px(80), px(12));
        const uint16_t bodyId = m.defineShape(b);
        Shape w;
        w.use(w.solidFill(rgb(0x90caf9)));
        w.roundRect(px(-14), px(-22), px(28), px(14), px(4));
        const uint16_t glass = m.defineShape(w);
        Timeline t;
        placeAt(t, 1, wheels, Matrix());
        placeAt(t, 2, bodyId, Matrix());
        placeAt(t, 3, glass, Matrix());
        t.showFrame();
        return m.defineSprite(t);
    };
    const uint16_t player = carShape(0xd50000, 0xff8a80);
    const uint16_t other = carShape(0x1565c0, 0x90caf9);
    Timeline traffic;
    const int trafficFrames = 70;
    for (int f = 0; f < trafficFrames; ++f) {
        const double y = -60 + f * 520.0 / trafficFrames;
        const Matrix a = Matrix::transform(px(200), px(y), 180);
        const Matrix b = Matrix::transform(px(350), px(std::fmod(y + 260, 520) - 60), 180);
        if (f == 0) {
            placeAt(traffic, 1, other, a);
            placeAt(traffic, 2, other, b);
        } else {
            moveTo(traffic, 1, a);
            moveTo(traffic, 2, b);
        }
        traffic.showFrame();
    }
    const uint16_t trafficId = m.defineSprite(traffic);

    Timeline &t = m.main();
    placeAt(t, 1, grass, Matrix());
    placeAt(t, 2, treesId, Matrix());
    placeAt(t, 3, roadId, Matrix());
    placeAt(t, 4, kerbId, Matrix());
    placeAt(t, 5, laneId, Matrix());
    placeAt(t, 6, trafficId, Matrix());
    placeAt(t, 7, player, Matrix::translate(px(320), px(320)), "car");
    for (int f = 0; f < 2; ++f) {
        Actions a;
        const std::string tag = std::to_string(f);
        keyMove(a, 37, "/car", prop::X, -9, "l" + tag);
        keyMove(a, 39, "/car", prop::X, 9, "r" + tag);
        keyMove(a, 38, "/car", prop::Y, -7, "u" + tag);
        keyMove(a, 40, "/car", prop::Y, 7, "d" + tag);
        clamp(a, "/car", prop::X, 150, 400, "cx" + tag);
        clamp(a, "/car", prop::Y, 60, 350, "cy" + tag);
        t.doAction(a);
        t.showFrame();
    }
    return m.finish();
}

// A key counter that keeps its count: every press of the space bar adds one,
// stores the count in the movie's SharedObject "counter" (flushed at once)
// and reports it to the portal as /save/report?n=N; the movie reports the
// count it found at its start the same way.
Bytes buildSaveCounter()
{
    Movie m(W, H, 24, rgb(0x263238));
    const uint16_t back = skyBackground(m, 0x263238, 0x4a6572);
    Shape keyShape;
    keyShape.use(keyShape.linearFill(0, px(-30), 0, px(30), {{0, rgb(0xfafafa)}, {255, rgb(0xb0bec5)}}, true),
                 keyShape.lineStyle(60, rgb(0x37474f)));
    keyShape.roundRect(px(-150), px(-30), px(300), px(60), px(12));
    const uint16_t spaceKey = m.defineShape(keyShape);
    Shape starShape;
    starShape.use(starShape.solidFill(rgb(0xffd54f)));
    starShape.star(0, 0, px(22), px(9), 5);
    const uint16_t star = spinner(m, m.defineShape(starShape), 48);

    auto report = [](Actions &a) {
        a.push({"/save/report?n="});
        a.push({"n"});
        a.op(op::GetVariable);
        a.op(op::Add2);
        a.push({"_level0"});
        a.getUrl2(geturl::LoadVariables);
    };
    // so.data.n = n; so.flush();
    auto save = [](Actions &a) {
        a.push({"so"});
        a.op(op::GetVariable);
        a.push({"data"});
        a.op(op::GetMember);
        a.push({"n", "n"});
        a.op(op::GetVariable);
        a.op(op::SetMember);
        a.push({0, "so"});
        a.op(op::GetVariable);
        a.push({"flush"});
        a.op(op::CallMethod);
        a.op(op::Pop);
    };

    Actions press;
    press.push({"n", "n"});
    press.op(op::GetVariable);
    press.op(op::Increment);
    press.op(op::SetVariable);
    save(press);
    report(press);
    std::vector<ButtonAction> actions;
    actions.push_back(ButtonAction{cond::key(32), press});
    const uint16_t button = m.defineButton({{ButtonState::Up | ButtonState::Over | ButtonState::Down | ButtonState::Hit,
                                             spaceKey, 1, Matrix()}},
                                           actions);

    // so = SharedObject.getLocal("counter"); n = so.data.n, 0 when there is none.
    Actions start;
    start.push({"so", "counter"});
    start.callMethod("SharedObject", "getLocal", 1);
    start.op(op::SetVariable);
    start.push({"n", "so"});
    start.op(op::GetVariable);
    start.push({"data"});
    start.op(op::GetMember);
    start.push({"n"});
    start.op(op::GetMember);
    start.op(op::SetVariable);
    start.push({"n"});
    start.op(op::GetVariable);
    start.ifTrue("found");
    start.push({"n", 0});
    start.op(op::SetVariable);
    start.label("found");
    report(start);
    start.op(op::Stop);

    Timeline &t = m.main();
    placeAt(t, 1, back, Matrix());
    placeAt(t, 2, button, Matrix::translate(px(W / 2), px(H / 2)));
    placeAt(t, 3, star, Matrix::translate(px(W / 2), px(H / 2 - 80)));
    t.doAction(start);
    t.showFrame();
    return m.finish();
}

const std::vector<DemoGame> &demoGames()
{
    static const std::vector<DemoGame> games = {
        {101, buildBouncingBalls}, {102, buildCatchApples}, {103, buildBalloons},
        {104, buildWindmill},      {105, buildLuckyWheel},  {106, buildRacing},
        {107, buildLuckyWheel}, // the points edition of the wheel
        {108, buildSaveCounter},
        {109, [] { return buildGuestbook("/"); }},
    };
    return games;
}
