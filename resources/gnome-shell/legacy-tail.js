
let service = null;

function init() {}

function enable() {
    service = new ShellWindowsService();
}

function disable() {
    service?.destroy();
    service = null;
}
