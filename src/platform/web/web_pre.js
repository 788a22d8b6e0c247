// Runs before the program starts: mounts the player's storage (IndexedDB) as the working directory and
// waits until its files are there, so the game reads "config.ini" as it would from a disk.
var kelvanorStatus = (window.kelvanorStatus = window.kelvanorStatus ||
  { frames: 0, title: false, titleMillis: 0, audio: 'waiting', storage: 'none', musicReady: false, closed: false });
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  var folder = '/kelvanor';
  FS.mkdir(folder);
  var indexedDBThere = false;
  try {
    indexedDBThere = typeof indexedDB !== 'undefined' && indexedDB !== null;
  } catch (e) {
    indexedDBThere = false; // some private modes throw on the mere look
  }
  var mounted = false;
  try {
    if (indexedDBThere) {
      FS.mount(IDBFS, {}, folder);
      mounted = true;
    }
  } catch (e) {
    mounted = false;
  }
  FS.chdir(folder);
  if (!mounted) return;
  addRunDependency('kelvanor-storage');
  FS.syncfs(true, function (error) {
    // Refused (private mode, blocked storage): the folder stays in memory and the game has its defaults.
    kelvanorStatus.storage = error ? 'none' : 'idb';
    // The settings file as this tab read it: a later copy back first checks no other tab stored one since.
    var known = null;
    try {
      known = FS.readFile(folder + '/config.ini');
    } catch (e) {
      known = null;
    }
    Module.kelvanorStorage = { busy: false, again: false, known: known };
    removeRunDependency('kelvanor-storage');
  });
});
