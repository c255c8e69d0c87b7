// Runs in every page of the game pane, in the page's own world, before any
// script of the page, inside a closure of its own (the page sees no name of
// it). The program appends a call with its settings:
//   { runtime: { <Flash runtime config key>: value, ... },
//     fontScheme: the scheme of the program's font door }
// 1. The Flash runtime reads its settings from window.RufflePlayer.config.
//    The program's values fill in what the page does not set itself, however
//    the page sets it (config assigned, or RufflePlayer assigned whole); the
//    page's own values always win.
// 2. The runtime's player takes the keyboard as soon as its movie plays, so
//    that a game hears its keys without a click into it. It only takes the
//    page's focus: the window's keyboard stays where the user has it, and a
//    text field the movie has focused keeps it.
// 3. The runtime fetches its fonts with fetch(), which this engine does not
//    allow for the program's schemes, while XMLHttpRequest reads them: a
//    fetch() of the font door goes through XMLHttpRequest, every other call
//    is left alone.
function kavoGamePage(settings) {
    'use strict';
    const defaults = (settings && settings.runtime) || {};

    function fill(config) {
        if (!config || typeof config !== 'object')
            return config;
        for (const key of Object.keys(defaults)) {
            if (!(key in config))
                config[key] = defaults[key];
        }
        return config;
    }

    function adopt(holder) {
        if (!holder || (typeof holder !== 'object' && typeof holder !== 'function'))
            return holder;
        let config = holder.config === undefined ? undefined : fill(holder.config);
        try {
            Object.defineProperty(holder, 'config', {
                configurable: true,
                enumerable: true,
                get() {
                    if (config === undefined)
                        config = fill({});
                    return config;
                },
                set(value) { config = fill(value); },
            });
        } catch (e) {
            // A frozen object keeps what it has.
        }
        return holder;
    }

    const nativeFetch = window.fetch;
    const fontScheme = settings && settings.fontScheme ? settings.fontScheme + ':' : '';
    if (nativeFetch && fontScheme) {
        window.fetch = function (input, init) {
            const address = typeof input === 'string' ? input : (input && input.url) || String(input);
            if (!address.toLowerCase().startsWith(fontScheme))
                return nativeFetch.apply(this, arguments);
            return new Promise(function (resolve, reject) {
                const xhr = new XMLHttpRequest();
                xhr.open('GET', address);
                xhr.responseType = 'arraybuffer';
                xhr.onload = function () {
                    resolve(new Response(xhr.response, {
                        status: xhr.status || 200,
                        headers: { 'Content-Type': xhr.getResponseHeader('Content-Type') || 'font/otf' },
                    }));
                };
                xhr.onerror = function () { reject(new TypeError('Failed to fetch')); };
                xhr.send();
            });
        };
    }

    let holder = adopt(window.RufflePlayer || {});
    try {
        Object.defineProperty(window, 'RufflePlayer', {
            configurable: true,
            enumerable: true,
            get() { return holder; },
            set(value) { holder = adopt(value); },
        });
    } catch (e) {
        window.RufflePlayer = holder;
    }

    // The runtime takes keys only while the container inside its player has
    // the focus, and notices the focus only when it comes from outside once
    // the movie plays: a frame after its data is there (earlier, the focus
    // is taken but the runtime does not hear the keys).
    const PLAYERS = 'ruffle-player, ruffle-object, ruffle-embed';
    function giveKeys(player) {
        const container = player.shadowRoot && player.shadowRoot.getElementById('container');
        if (!container) {
            player.focus({ preventScroll: true });
            return;
        }
        // The container, or the runtime's text box inside it while a text
        // field of the movie has the focus, already has the keys.
        const active = player.shadowRoot.activeElement;
        if (active && (active === container || container.contains(active)))
            return;
        if (document.activeElement)
            document.activeElement.blur();
        container.focus({ preventScroll: true });
    }
    function watchPlayer(root) {
        const player = root.matches && root.matches(PLAYERS) ? root
            : root.querySelector ? root.querySelector(PLAYERS) : null;
        if (!player)
            return false;
        player.addEventListener('loadeddata', function () {
            requestAnimationFrame(function () { requestAnimationFrame(function () { giveKeys(player); }); });
        }, { once: true });
        return true;
    }
    const watch = new MutationObserver(function (changes) {
        for (const change of changes) {
            for (const node of change.addedNodes) {
                if (node.nodeType === Node.ELEMENT_NODE && watchPlayer(node))
                    return;
            }
        }
    });
    watch.observe(document, { childList: true, subtree: true });
}
