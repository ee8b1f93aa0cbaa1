// Visual Studio has no <sys/time.h>: code that needs it would not build there.
#error "<sys/time.h> is not part of the Windows SDK or the Universal CRT"
