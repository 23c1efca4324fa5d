
export default class TessalWindows extends Extension {
    enable() {
        this._service = new ShellWindowsService();
    }

    disable() {
        this._service?.destroy();
        this._service = null;
    }
}
