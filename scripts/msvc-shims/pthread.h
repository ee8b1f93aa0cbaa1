// Visual Studio has no <pthread.h>: code that needs it would not build there.
#error "<pthread.h> is not part of the Windows SDK or the Universal CRT"
