// Linked into every program of the sanitizer build: leaks inside system libraries are not the
// project's. fontconfig keeps 288 bytes of its first pattern substitution for the life of the
// process (a minimal program of its own shows the same); Unicorn's page invalidation holds a
// block while a store is emulated, which a program ended by a signal at that moment leaves.
// libsndfile 1.2.0 drops the Vorbis decoder state it set up when it refuses a malformed Ogg file
// (a bare sf_open of such a file shows the same).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:tb_invalidate_phys_page_fast\n"
           "leak:vorbis_info_init\n";
}

// The suppressions used are not listed at exit: tests compare what programs write to standard
// error.
extern "C" const char* __lsan_default_options() {
    return "print_suppressions=0";
}
