// Plays one .swf that fills the page. Used by the portal's player pages.
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
    // Ask first, so that a missing game, and a page served in its place (a
    // server's or a hotel network's), get our own message. A file that is
    // no movie for other reasons gets the runtime's own (Chinese) panel.
    fetch(url, { method: "HEAD" }).then(function (answer) {
        if (!answer.ok) {
            fail(missingText || "没有找到这个游戏。");
            return;
        }
        if (/^text\/html/i.test(answer.headers.get("Content-Type") || "")) {
            fail("游戏文件已损坏，请稍后再试。");
            return;
        }
        var player = window.RufflePlayer.newest().createPlayer();
        player.id = "player";
        player.style.width = "100%";
        player.style.height = "100%";
        stage.appendChild(player);
        // The game hears its keys without a click into it: the runtime
        // takes keys while the container in its player has the focus, given
        // from outside once the movie plays, a frame after its data is there.
        player.addEventListener("loadeddata", function () {
            requestAnimationFrame(function () {
                requestAnimationFrame(function () {
                    var container = player.shadowRoot && player.shadowRoot.getElementById("container");
                    if (document.activeElement)
                        document.activeElement.blur();
                    (container || player).focus({ preventScroll: true });
                });
            });
        }, { once: true });
        player.load({ url: url }).catch(function () {
            fail("游戏加载失败，请稍后再试。");
        });
    }, function () {
        fail("网络连接失败，请稍后再试。");
    });
}
