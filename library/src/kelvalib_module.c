/* The shared library carries the core archive whole; this unit gives it a source of its own. */
int kelvalib_module_marker(void);
int kelvalib_module_marker(void) { return 1; }
