// Runs in every frame of every page of the program's panes, in the page's
// own world, before any script of the page, inside a closure of its own (the
// page sees no name of it). The program appends a call with its settings:
//   { door: "kavoflash://app/", runtime: { <runtime setting>: value, ... },
//     maxMovies: the most movies one document plays }
// It makes the program's Flash runtime part of every page, as the browser
// plug-in was part of the machine:
// 1. The page sees the plug-in (navigator.plugins and navigator.mimeTypes
//    list "Shockwave Flash"), so plug-in checks such as swfobject's pass.
// 2. The runtime is read from the program's door the first time a page
//    needs it: a movie element (<object>/<embed>) appears, at once or later,
//    or a script of the page touches window.RufflePlayer. A page without
//    Flash loads nothing. The program's copy registers before a copy the
//    page brings itself, so that the page's copy plays only when it is
//    newer; the program's settings fill in what the page does not set.
// 3. The runtime reads its chunk, module and fonts from the door with
//    fetch(), which this engine does not allow for the program's schemes:
//    those calls, and a page of the program's own scheme fetching from it
//    (a downloaded movie's requests), go through XMLHttpRequest; every other
//    call is left alone.
// 4. A document plays at most maxMovies movie elements; further ones are
//    taken out before the runtime sees them.
function kavoFlashPage(settings) {
    'use strict';
    const door = String(settings.door || '');
    const scheme = door.split(':')[0].toLowerCase() + ':';
    const defaults = settings.runtime || {};
    const maxMovies = settings.maxMovies || 16;
    const FLASH_TYPES = ['application/x-shockwave-flash', 'application/futuresplash'];

    // What the page may replace later, taken now.
    const XHR = window.XMLHttpRequest;
    const xhrOpen = XHR.prototype.open;
    const xhrSend = XHR.prototype.send;
    const xhrHeader = XHR.prototype.getResponseHeader;
    const xhrMime = XHR.prototype.overrideMimeType;
    const nativeFetch = window.fetch;

    // 1. The plug-in, as the page asks for it.
    (function showPlugin() {
        try {
            const plugin = { name: 'Shockwave Flash', description: 'Shockwave Flash 32.0 r0',
                             filename: 'ruffle.js', version: '32.0.0.0', length: FLASH_TYPES.length };
            const types = FLASH_TYPES.map(function (type, i) {
                const t = { type: type, suffixes: i ? 'spl' : 'swf', description: 'Shockwave Flash',
                            enabledPlugin: plugin };
                plugin[i] = t;
                return t;
            });
            plugin.item = function (i) { return plugin[i] || null; };
            plugin.namedItem = function (name) { return types.find(function (t) { return t.type === name; }) || null; };
            function list(own, extra, key) {
                const all = Array.from(own || []).concat(extra);
                const result = { length: all.length };
                all.forEach(function (entry, i) {
                    result[i] = entry;
                    if (entry && entry[key] && !(entry[key] in result))
                        result[entry[key]] = entry;
                });
                result.item = function (i) { return result[i] || null; };
                result.namedItem = function (name) { return Object.prototype.hasOwnProperty.call(result, name) ? result[name] : null; };
                result.refresh = function () {};
                result[Symbol.iterator] = function () { return all[Symbol.iterator](); };
                return result;
            }
            if (navigator.plugins && navigator.plugins.namedItem && navigator.plugins.namedItem('Shockwave Flash'))
                return;
            const plugins = list(navigator.plugins, [plugin], 'name');
            const mimeTypes = list(navigator.mimeTypes, types, 'type');
            Object.defineProperty(navigator, 'plugins', { configurable: true, get() { return plugins; } });
            Object.defineProperty(navigator, 'mimeTypes', { configurable: true, get() { return mimeTypes; } });
        } catch (e) {
            // A page that locked navigator keeps it.
        }
    })();

    // 3. The door's files through XMLHttpRequest.
    function isDoor(address) {
        return typeof address === 'string' && address.toLowerCase().startsWith(scheme);
    }
    // The program's own pages (the local player) read their own scheme the
    // same way: the movie's requests of its folder.
    const ownScheme = ['http:', 'https:', 'file:', 'about:', 'data:', 'blob:'].indexOf(location.protocol) < 0
        ? location.protocol : '';
    function readDoor(address, method) {
        return new Promise(function (resolve, reject) {
            const xhr = new XHR();
            xhrOpen.call(xhr, method === 'HEAD' ? 'HEAD' : 'GET', address);
            xhr.responseType = 'arraybuffer';
            xhr.onload = function () {
                const type = xhrHeader.call(xhr, 'Content-Type') || 'application/octet-stream';
                const answer = new Response(method === 'HEAD' ? null : xhr.response,
                                            { status: 200, headers: { 'Content-Type': type } });
                Object.defineProperty(answer, 'url', { value: address });
                resolve(answer);
            };
            xhr.onerror = function () { reject(new TypeError('Failed to fetch')); };
            xhrSend.call(xhr);
        });
    }
    const early = {};
    if (nativeFetch && door) {
        window.fetch = function (input, init) {
            let address = typeof input === 'string' ? input : (input && input.url) || String(input);
            try {
                address = new URL(address, document.baseURI).href;
            } catch (e) {
                return nativeFetch.apply(this, arguments);
            }
            if (!isDoor(address) && !(ownScheme && address.toLowerCase().startsWith(ownScheme)))
                return nativeFetch.apply(this, arguments);
            const method = String((init && init.method) || (input && input.method) || 'GET').toUpperCase();
            if (method === 'GET' && early[address]) {
                const ready = early[address];
                delete early[address];
                return ready.catch(function () { return readDoor(address, method); });
            }
            return readDoor(address, method);
        };
    }

    // 2. The runtime, read when the page needs it.
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

    let holder;
    let runtimeAsked = false;
    function loadRuntime() {
        if (runtimeAsked || !door)
            return;
        runtimeAsked = true;
        // The fonts come beside the runtime's start: it asks for them only
        // once its module is ready.
        for (const font of defaults.fontSources || []) {
            if (isDoor(font)) {
                early[font] = readDoor(font, 'GET');
                early[font].catch(function () {});
            }
        }
        // Read at once, so that it is there before the page's next line:
        // a page's own copy of the runtime, or its call of newest(), finds
        // the program's copy registered.
        const address = door + 'ruffle/ruffle.js';
        let source = '';
        try {
            const xhr = new XHR();
            xhrOpen.call(xhr, 'GET', address, false);
            xhrMime.call(xhr, 'text/javascript; charset=utf-8');
            xhrSend.call(xhr);
            source = xhr.status === 200 || xhr.status === 0 ? xhr.responseText : '';
        } catch (e) {
            source = '';
        }
        if (!source)
            return;
        try {
            (0, eval)(source + '\n//# sourceURL=' + address);
        } catch (e) {
            // A page whose policy forbids eval loads the runtime as a script.
            const script = document.createElement('script');
            script.src = address;
            (document.head || document.documentElement).appendChild(script);
        }
    }

    holder = adopt(window.RufflePlayer || {});
    try {
        Object.defineProperty(window, 'RufflePlayer', {
            configurable: true,
            enumerable: true,
            get() {
                loadRuntime();
                return holder;
            },
            set(value) { holder = adopt(value); },
        });
    } catch (e) {
        window.RufflePlayer = holder;
    }

    // 2 and 4. Movie elements, however they come.
    function isMovieAddress(text) {
        return typeof text === 'string' && /\.(swf|spl)$/i.test(text.split(/[?#]/)[0]);
    }
    function isFlashType(text) {
        return typeof text === 'string' && FLASH_TYPES.indexOf(text.toLowerCase().trim()) >= 0;
    }
    function isMovieElement(element) {
        // The runtime's players answer to the names of the elements they
        // stand for; only the page's own elements count.
        if (!(element instanceof HTMLEmbedElement || element instanceof HTMLObjectElement))
            return false;
        if (element.nodeName === 'EMBED')
            return isFlashType(element.getAttribute('type')) || isMovieAddress(element.getAttribute('src'));
        if (element.nodeName !== 'OBJECT')
            return false;
        if (/d27cdb6e-ae6d-11cf-96b8-444553540000/i.test(element.getAttribute('classid') || '')
            || isFlashType(element.getAttribute('type')) || isMovieAddress(element.getAttribute('data')))
            return true;
        for (const param of element.querySelectorAll('param')) {
            const name = (param.getAttribute('name') || '').toLowerCase();
            if ((name === 'movie' || name === 'src') && isMovieAddress(param.getAttribute('value')))
                return true;
        }
        return false;
    }
    // Movie elements kept for the runtime and not yet taken by it, beside
    // the players it made of earlier ones.
    const PLAYERS = 'ruffle-embed, ruffle-object, ruffle-player';
    const seen = new WeakSet();
    let waiting = [];
    let room = null; // asked once a batch of changes holds a movie

    function roomNow() {
        waiting = waiting.filter(function (element) { return element.isConnected; });
        return maxMovies - document.querySelectorAll(PLAYERS).length - waiting.length;
    }
    function look(element) {
        if (seen.has(element) || !isMovieElement(element))
            return;
        seen.add(element);
        // An <embed> inside a movie <object>, or the runtime's own copy
        // inside its player, is the same movie.
        const outer = element.parentElement && element.parentElement.closest('object, ' + PLAYERS);
        if (outer && (seen.has(outer) || outer.matches(PLAYERS)))
            return;
        if (room === null)
            room = roomNow();
        if (room <= 0) {
            element.remove();
            return;
        }
        --room;
        waiting.push(element);
        loadRuntime();
    }
    function lookInside(node) {
        if (node.nodeType !== Node.ELEMENT_NODE)
            return;
        if (node instanceof HTMLParamElement && node.parentElement) {
            look(node.parentElement);
            return;
        }
        look(node);
        if (node.firstElementChild)
            node.querySelectorAll('object, embed').forEach(look);
    }
    new MutationObserver(function (changes) {
        room = null;
        for (const change of changes) {
            if (change.type === 'attributes') {
                lookInside(change.target);
                continue;
            }
            for (const node of change.addedNodes)
                lookInside(node);
        }
    }).observe(document, { childList: true, subtree: true, attributes: true,
                           attributeFilter: ['type', 'src', 'data', 'classid', 'value'] });
}
