// Tessal's window list on GNOME Shell, which tells other programs nothing of where windows are:
// the windows shown on the active workspace, front to back, and where the pointer is, as one
// JSON string from local.ostrel.ShellWindows.List on the session bus. The same body serves the
// extension's two forms (GNOME 43–44 and 45 on).
const ShellWindowsInterface = `<node>
  <interface name="local.ostrel.ShellWindows">
    <method name="List"><arg type="s" direction="out" name="report"/></method>
  </interface>
</node>`;

// What a user picks: not menus, tooltips, docks or the desktop.
const pickableTypes = [
    Meta.WindowType.NORMAL, Meta.WindowType.DIALOG, Meta.WindowType.MODAL_DIALOG,
    Meta.WindowType.UTILITY,
];

function shownWindows() {
    const workspace = global.workspace_manager.get_active_workspace();
    // Bottom to top.
    return global.get_window_actors()
        .map(actor => actor.meta_window)
        .filter(w => w && !w.minimized && !w.is_override_redirect() &&
                     pickableTypes.includes(w.get_window_type()) &&
                     w.located_on_workspace(workspace));
}

function rectangle(r) {
    return [r.x, r.y, r.width, r.height];
}

class ShellWindowsService {
    constructor() {
        this._object = Gio.DBusExportedObject.wrapJSObject(ShellWindowsInterface, this);
        this._object.export(Gio.DBus.session, '/local/ostrel/ShellWindows');
        this._name = Gio.bus_own_name_on_connection(Gio.DBus.session, 'local.ostrel.ShellWindows',
            Gio.BusNameOwnerFlags.NONE, null, null);
    }

    destroy() {
        Gio.bus_unown_name(this._name);
        this._object.unexport();
    }

    List() {
        const focus = global.display.focus_window;
        const windows = shownWindows().reverse().map(w => {
            const frame = w.get_frame_rect();
            return {
                id: w.get_stable_sequence(),
                frame: rectangle(frame),
                content: rectangle(w.frame_rect_to_client_rect(frame)),
                pid: w.get_pid(),
                focused: w === focus,
            };
        });
        const [x, y] = global.get_pointer();
        return JSON.stringify({pointer: [x, y], windows});
    }
}
