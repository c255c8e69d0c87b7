// Typing into a movie's text fields through the desktop's input method; runs
// in every page of the game pane beside gamepage.js, in the page's own world,
// before any script of the page.
//
// While a movie's input text field has the focus, the Flash runtime keeps the
// page's keyboard in a hidden text box of its player and hands every `input`
// event of that box to the movie at once, emptying the box. An input method
// composes its text in that box over many events (pinyin letters, then the
// choice of a candidate), so the runtime would take the half-typed letters
// and break the composition. Here, from the first event of a composition to
// its end, no key or input event of the box reaches the runtime; when the
// input method commits, the box holds exactly the committed text, and one
// `input` event hands it to the runtime, in the order it was typed.
//
// The input method's candidate window stands at the caret of the focused
// box, which the runtime keeps out of sight above the player: here it stands
// where the player was last pressed (a click into a field), or in the middle
// of the player when the movie focused its field itself (the runtime does not
// tell where its field is).
function kavoGameTyping() {
    'use strict';
    const BOX = 'virtual-keyboard';
    const PLAYERS = 'ruffle-player, ruffle-object, ruffle-embed';

    function playerOf(node) {
        const root = node && node.getRootNode && node.getRootNode();
        return root && root.host && root.host.matches && root.host.matches(PLAYERS) ? root.host : null;
    }
    // The runtime's text box an event comes from, or null.
    function boxOf(event) {
        const first = event.composedPath ? event.composedPath()[0] : null;
        return first && first.id === BOX && first.tagName === 'INPUT' && playerOf(first) ? first : null;
    }

    let composing = null;

    // The box stands in the middle of the player from the start (the engine
    // tells the input method where the caret is when the box takes the
    // focus), and where the player is pressed from then on; presses go
    // through it to the movie.
    const PLACE = '#' + BOX + ' { left: 50%; top: 50%; pointer-events: none; }';
    function prepare(player) {
        const shadow = player.shadowRoot;
        if (!shadow || shadow.getElementById('kavo-typing'))
            return;
        const style = document.createElement('style');
        style.id = 'kavo-typing';
        style.textContent = PLACE;
        shadow.appendChild(style);
    }
    new MutationObserver(function (changes) {
        for (const change of changes) {
            for (const node of change.addedNodes) {
                if (node.nodeType !== Node.ELEMENT_NODE)
                    continue;
                if (node.matches(PLAYERS))
                    prepare(node);
                for (const inner of node.querySelectorAll(PLAYERS))
                    prepare(inner);
            }
        }
    }).observe(document, { childList: true, subtree: true });

    function hold(event) {
        const box = boxOf(event);
        if (!box)
            return;
        if (composing === box || event.isComposing || event.keyCode === 229)
            event.stopImmediatePropagation();
    }

    window.addEventListener('pointerdown', function (event) {
        const path = event.composedPath ? event.composedPath() : [];
        for (const node of path) {
            if (node.id !== 'container' || !playerOf(node))
                continue;
            const box = node.querySelector('#' + BOX);
            if (box) {
                const size = node.getBoundingClientRect();
                box.style.left = Math.round(event.clientX - size.left) + 'px';
                box.style.top = Math.round(event.clientY - size.top) + 'px';
            }
            return;
        }
    }, true);
    window.addEventListener('focusin', function (event) {
        const path = event.composedPath ? event.composedPath() : [];
        const player = path.length ? playerOf(path[0]) : null;
        if (player)
            prepare(player);
    }, true);
    window.addEventListener('compositionstart', function (event) {
        const box = boxOf(event);
        if (!box)
            return;
        composing = box;
        event.stopImmediatePropagation();
    }, true);
    window.addEventListener('compositionupdate', function (event) {
        if (boxOf(event))
            event.stopImmediatePropagation();
    }, true);
    window.addEventListener('compositionend', function (event) {
        const box = boxOf(event);
        if (!box)
            return;
        event.stopImmediatePropagation();
        if (composing !== box)
            return;
        composing = null;
        // The box holds what the input method committed (nothing when the
        // composition was given up); the runtime's own handler takes it.
        if (box.value)
            box.dispatchEvent(new Event('input', { bubbles: true, composed: true }));
    }, true);
    window.addEventListener('focusout', function (event) {
        const box = boxOf(event);
        if (box && composing === box)
            composing = null;
    }, true);
    for (const type of ['keydown', 'keyup', 'keypress', 'beforeinput', 'input'])
        window.addEventListener(type, hold, true);
}
