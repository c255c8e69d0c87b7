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
    // The portal's games write Chinese in device fonts: the portal's own
    // Chinese fonts stand for the runtime's default names.
    fontSources: ["/fonts/sans.otf", "/fonts/mono.otf"],
    defaultFonts: {
        sans: ["Noto Sans CJK SC"], serif: ["Noto Sans CJK SC"], typewriter: ["Noto Sans Mono CJK SC"],
        japaneseGothic: ["Noto Sans CJK SC"], japaneseGothicMono: ["Noto Sans Mono CJK SC"],
        japaneseMincho: ["Noto Sans CJK SC"]
    },
    logLevel: "warn"
};
