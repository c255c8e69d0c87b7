// Plays one .swf that fills the page, with the runtime the page loaded.
// Used by the portal's player page for game numbers (app/app.asp).
function kavoPlay(url, missingText) {
    var stage = document.getElementById("stage");
    function fail(text) {
        stage.innerHTML = '<div class="msg">' + text + '</div>';
    }
    if (!url) {
        fail(missingText || "没有找到这个游戏。");
        return;
    }
    if (!window.RufflePlayer || !window.RufflePlayer.newest) {
        fail("Flash 播放器没有加载成功，请刷新重试。");
        return;
    }
    var failed = false;
    function stop(text) {
        if (failed)
            return;
        failed = true;
        fail(text);
    }
    var player = window.RufflePlayer.newest().createPlayer();
    player.id = "player";
    player.style.width = "100%";
    player.style.height = "100%";
    stage.appendChild(player);
    // The runtime starts at once; the question whether the game is there
    // goes out beside it, so that a missing game, and a page served in its
    // place (a server's or a hotel network's), get our own message without
    // a round trip more before every game. A file that is no movie for other
    // reasons gets the runtime's own (Chinese) panel.
    fetch(url, { method: "HEAD" }).then(function (answer) {
        if (!answer.ok)
            stop(missingText || "没有找到这个游戏。");
        else if (/^text\/html/i.test(answer.headers.get("Content-Type") || ""))
            stop("游戏文件已损坏，请稍后再试。");
    }, function () {
        stop("网络连接失败，请稍后再试。");
    });
    player.load({ url: url }).catch(function () {
        // The answer to the question above, when it comes, says why.
        if (!failed)
            fail("游戏加载失败，请稍后再试。");
    });
}
