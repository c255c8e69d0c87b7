// Player settings shared by the player pages: start at once, no splash or
// unmute overlay, drawn with the 2D canvas renderer so it works without a GPU.
window.RufflePlayer = window.RufflePlayer || {};
window.RufflePlayer.config = {
    autoplay: "on",
    unmuteOverlay: "hidden",
    splashScreen: false,
    preferredRenderer: "canvas",
    letterbox: "on",
    polyfills: false,
    showSwfDownload: false,
    warnOnUnsupportedContent: false,
    logLevel: "warn"
};
