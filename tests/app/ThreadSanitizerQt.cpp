// Linked into the GUI tests of thread-sanitizer builds only.
//
// Qt is not built with the thread sanitizer: its own locks are invisible to it, so memory that Qt
// hands between its threads (thread pool, image conversion, the HTTP thread) looks racy. Accesses
// made inside the Qt libraries are ignored; every access from our code is still checked, and the
// program's own hand-overs between threads go through locks of its own.
extern "C" const char* __tsan_default_suppressions() {
  return "called_from_lib:libQt6Core.so.6\n"
         "called_from_lib:libQt6Gui.so.6\n"
         "called_from_lib:libQt6Network.so.6\n"
         "called_from_lib:libQt6Widgets.so.6\n"
         // the event dispatcher's wake-up descriptor, written by every thread that posts events
         "called_from_lib:libglib-2.0.so.0\n"
         // The slot objects an update request connects to its reply: the HTTP thread frees them
         // when it tidies the reply's connections, under Qt's lock, but through the slot code
         // that Qt's templates compile into our binary, where the sanitizer sees the free.
         "race:QtPrivate::QSlotObject<void (dunstrel::THttpGet::\n";
}
