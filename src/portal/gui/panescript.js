// Runs in every frame of a pane, in the program's own script world: pages
// share the document with it but cannot see or replace its functions, its
// settings or its console.
// The pane appends a call with its settings:
//   { token: string, silent: bool, portal: string (the portal's origin),
//     hookTop: bool, hookFrameNames: [string], hookAllFrames: bool }
// Reports go to the pane as console messages: token, a space, then a JSON
// array [kind, arguments...]. The engine hands the pane console messages of
// every frame, while its channel transport only accepts messages of the top
// frame. Pages never see the token, so they cannot forge a report.
function kavoPaneInstall(config) {
    'use strict';
    if (window.kavoPane) {
        window.kavoPane.configure(config);
        return;
    }

    const ORDINARY = ['http', 'https', 'file', 'about', 'data', 'blob', 'javascript', 'qrc',
                      'filesystem', 'kavo'];
    const log = console.log.bind(console);
    let lastLink = null;

    function post(kind, args) {
        log(config.token + ' ' + JSON.stringify([kind].concat(args)));
    }

    function schemeOf(text) {
        const m = /^\s*([a-zA-Z][a-zA-Z0-9+.\-]*):/.exec(text);
        return m ? m[1].toLowerCase() : '';
    }

    function isCommand(url) {
        const scheme = schemeOf(url);
        return scheme !== '' && ORDINARY.indexOf(scheme) < 0;
    }

    // A web address of another origin than the portal's.
    function leavesPortal(url) {
        let parsed;
        try {
            parsed = new URL(url);
        } catch (err) {
            return false;
        }
        return (parsed.protocol === 'http:' || parsed.protocol === 'https:') && parsed.origin !== config.portal;
    }

    function isTop() {
        return window === window.top;
    }

    function frameName() {
        return isTop() ? '' : String(window.name || '');
    }

    function linkOf(element) {
        return element && element.closest ? element.closest('a[href], area[href]') : null;
    }

    function hrefOf(element) {
        const link = linkOf(element);
        return link && typeof link.href === 'string' ? link.href : '';
    }

    // The href attribute as the page wrote it, before any resolution.
    function hrefAttributeOf(element) {
        const link = linkOf(element);
        return link ? String(link.getAttribute('href')) : '';
    }

    function hooked() {
        if (isTop())
            return !!config.hookTop;
        return !!config.hookAllFrames || (config.hookFrameNames || []).indexOf(window.name) >= 0;
    }

    // The engine lower-cases the scheme of a destination; a clicked link
    // still has its address as written.
    window.addEventListener('click', function (e) {
        const link = e.target && e.target.closest ? e.target.closest('a[href], area[href]') : null;
        if (!link || typeof link.href !== 'string')
            return;
        lastLink = { href: link.href, raw: link.getAttribute('href').trim() };
        setTimeout(function () { lastLink = null; }, 0);
    }, true);

    if (window.navigation) {
        window.navigation.addEventListener('navigate', function (e) {
            const destination = e.destination.url;
            if (!e.cancelable)
                return;
            // The engine does not tell the pane which navigations the user
            // asked for; the pane hands those of the top page that leave the
            // portal to the user's browser. The engine refuses the others.
            const activated = e.userInitiated || navigator.userActivation.isActive;
            if (isTop() && activated && leavesPortal(destination)) {
                e.preventDefault();
                post('leave', [destination, !!e.formData, true]);
                return;
            }
            if (!isCommand(destination))
                return;
            e.preventDefault();
            let text = destination;
            if (lastLink && lastLink.href === destination && schemeOf(lastLink.raw) !== '')
                text = lastLink.raw;
            lastLink = null;
            post('navigate', [text]);
        });
    }

    window.addEventListener('contextmenu', function (e) {
        if (!hooked())
            return;
        e.preventDefault();
        post('contextmenu', [isTop(), frameName(), document.URL, hrefOf(document.activeElement),
                             hrefOf(e.target), hrefAttributeOf(document.activeElement)]);
    }, true);

    // Registered before any page script can add its own, so stopping the
    // event here keeps every page handler from asking to stay.
    window.addEventListener('beforeunload', function (e) {
        if (config.silent)
            e.stopImmediatePropagation();
    }, true);

    window.kavoPane = {
        configure: function (next) { config = next; },
        hasNavigationApi: !!window.navigation,
    };
}
