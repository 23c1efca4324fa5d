// GNOME Shell 43 and 44.
const {Gio, Meta} = imports.gi;
