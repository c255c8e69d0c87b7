// X11 backend of the global hot key: a passive grab of the key on the root
// window, which the X server activates for a press in any window, and a
// native event filter that turns the grabbed presses into hot-key events.
#include "shell/gui/globalhotkey.h"

#include "shell/gui/windowhooks.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace
{
constexpr xcb_keysym_t KEYSYM_NUM_LOCK = 0xff7f;
constexpr uint8_t BAD_ACCESS = 10;
// The key's modifiers that count; lock keys and mouse buttons do not.
constexpr uint16_t MODIFIER_BITS = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

template<typename T>
struct Reply
{
    T *data;
    ~Reply() { std::free(data); }
    explicit operator bool() const { return data != nullptr; }
    T *operator->() const { return data; }
};

// Keycodes that give `sym` at any level of the keyboard's map.
std::vector<xcb_keycode_t> keycodesOf(xcb_connection_t *c, xcb_keysym_t sym)
{
    const xcb_setup_t *setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    Reply<xcb_get_keyboard_mapping_reply_t> map{
        xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, setup->min_keycode, uint8_t(count)), nullptr)};
    std::vector<xcb_keycode_t> codes;
    if (!map)
        return codes;
    const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(map.data);
    const int perCode = map->keysyms_per_keycode;
    for (int i = 0; i < count; ++i) {
        for (int level = 0; level < perCode; ++level) {
            if (syms[i * perCode + level] == sym) {
                codes.push_back(xcb_keycode_t(setup->min_keycode + i));
                break;
            }
        }
    }
    return codes;
}

// The modifier bit that Num Lock sets on this keyboard (0 when it has none).
uint16_t numLockMask(xcb_connection_t *c)
{
    const std::vector<xcb_keycode_t> numLock = keycodesOf(c, KEYSYM_NUM_LOCK);
    Reply<xcb_get_modifier_mapping_reply_t> mods{
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr)};
    if (!mods || numLock.empty())
        return 0;
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(mods.data);
    const int perModifier = mods->keycodes_per_modifier;
    for (int bit = 0; bit < 8; ++bit)
        for (int k = 0; k < perModifier; ++k)
            for (xcb_keycode_t code : numLock)
                if (codes[bit * perModifier + k] == code)
                    return uint16_t(1u << bit);
    return 0;
}

uint16_t modifierBits(Qt::KeyboardModifiers mods)
{
    uint16_t bits = 0;
    if (mods & Qt::ShiftModifier)
        bits |= XCB_MOD_MASK_SHIFT;
    if (mods & Qt::ControlModifier)
        bits |= XCB_MOD_MASK_CONTROL;
    if (mods & Qt::AltModifier)
        bits |= XCB_MOD_MASK_1;
    if (mods & Qt::MetaModifier)
        bits |= XCB_MOD_MASK_4;
    return bits;
}
} // namespace

namespace
{
class XcbHotKey final : public GlobalHotKey::Backend, public QAbstractNativeEventFilter
{
public:
    XcbHotKey(QWidget *window, int id, QKeyCombination key)
        : m_window(window)
        , m_id(id)
    {
        auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        const Qt::Key k = key.key();
        if (!x11 || k < Qt::Key_A || k > Qt::Key_Z)
            return;
        m_connection = x11->connection();
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        // Letters: the keysym of the small letter.
        const std::vector<xcb_keycode_t> codes = keycodesOf(m_connection, xcb_keysym_t('a' + (k - Qt::Key_A)));
        if (codes.empty())
            return;
        m_keycode = codes.front();
        m_modifiers = modifierBits(key.keyboardModifiers());
        const uint16_t numLock = numLockMask(m_connection);
        for (uint16_t locks : {uint16_t(0), uint16_t(XCB_MOD_MASK_LOCK), numLock, uint16_t(XCB_MOD_MASK_LOCK | numLock)}) {
            if (std::find(m_grabbed.begin(), m_grabbed.end(), uint16_t(m_modifiers | locks)) != m_grabbed.end())
                continue;
            const uint16_t mods = m_modifiers | locks;
            xcb_generic_error_t *error = xcb_request_check(
                m_connection, xcb_grab_key_checked(m_connection, 0, m_root, mods, m_keycode, XCB_GRAB_MODE_ASYNC,
                                                   XCB_GRAB_MODE_ASYNC));
            if (error) {
                const bool taken = error->error_code == BAD_ACCESS;
                std::free(error);
                release();
                m_status = taken ? GlobalHotKey::Status::Taken : GlobalHotKey::Status::Unsupported;
                return;
            }
            m_grabbed.push_back(mods);
        }
        m_status = GlobalHotKey::Status::Registered;
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~XcbHotKey() override { release(); }

    GlobalHotKey::Status status() const override { return m_status; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
            return false;
        const auto *press = static_cast<const xcb_key_press_event_t *>(message);
        if (press->event != m_root || press->detail != m_keycode || (press->state & MODIFIER_BITS) != m_modifiers)
            return false;
        if (QWidget *window = m_window) {
            HotKeyEvent hotKey(m_id);
            QCoreApplication::sendEvent(window, &hotKey);
        }
        // A press reported on the root window belongs to nothing else in the program.
        return true;
    }

private:
    void release()
    {
        if (!m_connection)
            return;
        if (m_status == GlobalHotKey::Status::Registered)
            QCoreApplication::instance()->removeNativeEventFilter(this);
        for (uint16_t mods : m_grabbed)
            xcb_ungrab_key(m_connection, m_keycode, m_root, mods);
        m_grabbed.clear();
        xcb_flush(m_connection);
    }

    QPointer<QWidget> m_window;
    int m_id;
    GlobalHotKey::Status m_status = GlobalHotKey::Status::Unsupported;
    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
    xcb_keycode_t m_keycode = 0;
    uint16_t m_modifiers = 0;
    std::vector<uint16_t> m_grabbed;
};

} // namespace

std::unique_ptr<GlobalHotKey::Backend> MakeXcbHotKey(QWidget *window, int id, QKeyCombination key)
{
    return std::make_unique<XcbHotKey>(window, id, key);
}
