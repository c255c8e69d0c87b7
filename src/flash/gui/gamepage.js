// Runs in every page of the game pane (a portal's player page, the local
// player), in the page's own world, before any script of the page, inside a
// closure of its own (the page sees no name of it). The program's Flash
// runtime itself comes with the script of every pane (flashpage.js); this
// adds what only the game pane does. The program appends a call with:
//   { door: "kavoflash://app/", token: the game pane's key to the door's
//     fetch, stallMs: quiet time after which a load counts as stalled }
// 1. A movie (or a picture it loads) of a host that sends no cross-origin
//    consent reaches the page as the plug-in fetched it: a fetch() that the
//    engine refuses for that reason is made again through the program's
//    door, which hands over movies and pictures only. Only the top document
//    and frames of its own origin use the door.
// 2. A movie that takes more than a moment to arrive shows in the page how
//    much of it has come; a stalled or failed load says so.
// 3. The runtime's player takes the keyboard as soon as its movie plays, so
//    that a game hears its keys without a click into it. It only takes the
//    page's focus: the window's keyboard stays where the user has it, and a
//    text field the movie has focused keeps it.
function kavoGamePage(settings) {
    'use strict';
    const door = String(settings.door || '');
    const token = String(settings.token || '');
    const stallMs = settings.stallMs || 8000;
    const XHR = window.XMLHttpRequest;
    const xhrOpen = XHR.prototype.open;
    const xhrSend = XHR.prototype.send;
    const xhrHeader = XHR.prototype.getResponseHeader;
    const innerFetch = window.fetch;

    function sameOriginAsTop() {
        try {
            return window.top.location.origin === location.origin;
        } catch (e) {
            return false;
        }
    }
    const useDoor = !!(door && token && innerFetch && sameOriginAsTop());
    const isTop = window === window.top;

    // 2. The note on a movie's way.
    const loads = new Set();
    let note = null;
    let noteTimer = 0;
    function megabytes(n) {
        return (n / 1048576).toFixed(n < 10485760 ? 1 : 0) + ' MB';
    }
    function showNote() {
        noteTimer = 0;
        let text = '';
        const now = Date.now();
        for (const load of loads) {
            if (load.failed) {
                text = '游戏载入失败，请检查网络后点击“刷新”重试。';
                break;
            }
            if (now - load.started < 600)
                continue;
            if (now - load.lastByte >= stallMs) {
                text = '游戏载入停滞，正在等待网络……（已载入 ' + megabytes(load.loaded) + '）';
                continue;
            }
            if (!text) {
                text = '正在载入游戏……' + (load.total > 0
                    ? Math.min(99, Math.floor(load.loaded * 100 / load.total)) + '%（'
                      + megabytes(load.loaded) + ' / ' + megabytes(load.total) + '）'
                    : '已载入 ' + megabytes(load.loaded));
            }
        }
        if (!text) {
            if (note)
                note.remove();
            note = null;
        } else {
            if (!note) {
                note = document.createElement('div');
                note.setAttribute('role', 'status');
                note.style.cssText = 'position:fixed;left:50%;bottom:12%;transform:translateX(-50%);'
                    + 'z-index:2147483647;pointer-events:none;padding:8px 16px;border-radius:4px;'
                    + 'background:rgba(16,21,31,0.85);color:#dde;font:14px "Microsoft YaHei",sans-serif;'
                    + 'white-space:nowrap';
            }
            note.textContent = text;
            if (!note.isConnected && document.documentElement)
                document.documentElement.appendChild(note);
        }
        const going = Array.from(loads).some(function (load) { return !load.failed; });
        if (going || (note && !text.startsWith('游戏载入失败')))
            noteTimer = setTimeout(showNote, 250);
    }
    function watchNote() {
        if (isTop && !noteTimer)
            noteTimer = setTimeout(showNote, 250);
    }
    function startLoad(total) {
        const load = { started: Date.now(), lastByte: Date.now(), loaded: 0, total: total || 0, failed: false };
        loads.add(load);
        watchNote();
        return load;
    }
    function loadProgress(load, loaded, total) {
        if (loaded > load.loaded)
            load.lastByte = Date.now();
        load.loaded = loaded;
        if (total > 0)
            load.total = total;
    }
    function endLoad(load, failed) {
        if (failed) {
            load.failed = true;
            watchNote();
            return;
        }
        loads.delete(load);
        for (const other of loads) {
            if (other.failed)
                loads.delete(other);
        }
    }
    // Counts what arrives of an answer without taking it from its reader.
    function follow(answer) {
        if (!answer.body || !answer.ok)
            return;
        let copy;
        try {
            copy = answer.clone();
        } catch (e) {
            return;
        }
        const load = startLoad(parseInt(answer.headers.get('Content-Length') || '0', 10));
        const reader = copy.body.getReader();
        let loaded = 0;
        (function next() {
            reader.read().then(function (part) {
                if (part.done) {
                    endLoad(load, false);
                    return;
                }
                loaded += part.value.byteLength;
                loadProgress(load, loaded, 0);
                next();
            }, function () { endLoad(load, true); });
        })();
    }

    // 1. Through the door, for what the engine refuses for want of consent.
    function throughDoor(address, method) {
        const load = method === 'GET' ? startLoad(0) : null;
        return new Promise(function (resolve, reject) {
            const xhr = new XHR();
            xhrOpen.call(xhr, 'GET', door + 'fetch?t=' + encodeURIComponent(token) + '&m=' + method
                         + '&u=' + encodeURIComponent(address));
            xhr.responseType = 'arraybuffer';
            xhr.onprogress = function (e) {
                if (load)
                    loadProgress(load, e.loaded, e.lengthComputable ? e.total : 0);
            };
            xhr.onload = function () {
                const type = xhrHeader.call(xhr, 'Content-Type') || '';
                const status = /^application\/x-kavo-status;\s*code=(\d+)/.exec(type);
                const code = status ? parseInt(status[1], 10) : 200;
                const answer = new Response(status || method === 'HEAD' ? null : xhr.response, {
                    status: code >= 200 && code <= 599 ? code : 502,
                    headers: { 'Content-Type': status ? 'text/plain' : type },
                });
                Object.defineProperty(answer, 'url', { value: address });
                if (load)
                    endLoad(load, !answer.ok);
                resolve(answer);
            };
            xhr.onerror = function () {
                if (load)
                    endLoad(load, true);
                reject(new TypeError('Failed to fetch'));
            };
            xhrSend.call(xhr);
        });
    }

    if (innerFetch) {
        window.fetch = function (input, init) {
            const given = typeof input === 'string' ? input : (input && input.url) || String(input);
            const method = String((init && init.method) || (input && input.method) || 'GET').toUpperCase();
            const mode = (init && init.mode) || (input && input.mode) || 'cors';
            let url = null;
            try {
                url = new URL(given, document.baseURI);
            } catch (e) {
                url = null;
            }
            const web = url && (url.protocol === 'http:' || url.protocol === 'https:');
            const answer = innerFetch.apply(this, arguments);
            if (!web)
                return answer;
            return answer.then(function (got) {
                if (method === 'GET' && isTop)
                    follow(got);
                return got;
            }, function (error) {
                if (!useDoor || url.origin === location.origin || mode !== 'cors'
                    || (method !== 'GET' && method !== 'HEAD')) {
                    if (method === 'GET' && isTop && /\.swf$/i.test(url.pathname))
                        endLoad(startLoad(0), true);
                    throw error;
                }
                return throughDoor(url.href, method);
            });
        };
    }

    // 3. The keyboard to a game that starts. The runtime takes keys only
    // while the container inside its player has the focus, and notices the
    // focus only when it comes from outside once the movie plays: a frame
    // after its data is there (earlier, the focus is taken but the runtime
    // does not hear the keys).
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
    const watched = new WeakSet();
    function watchPlayer(player) {
        if (watched.has(player))
            return;
        watched.add(player);
        player.addEventListener('loadeddata', function () {
            requestAnimationFrame(function () { requestAnimationFrame(function () { giveKeys(player); }); });
        }, { once: true });
    }
    let keysGiven = false;
    const watch = new MutationObserver(function (changes) {
        if (keysGiven)
            return;
        for (const change of changes) {
            for (const node of change.addedNodes) {
                if (node.nodeType !== Node.ELEMENT_NODE)
                    continue;
                const player = node.matches(PLAYERS) ? node : node.querySelector(PLAYERS);
                if (player) {
                    // The first movie of the page gets the keyboard.
                    keysGiven = true;
                    watchPlayer(player);
                    watch.disconnect();
                    return;
                }
            }
        }
    });
    watch.observe(document, { childList: true, subtree: true });
}
