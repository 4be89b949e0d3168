// Stand-in for the DOS extender that the decoder of the distribution medium needs beside it in
// its working directory. The decoder stand-in only looks for this file; run on its own, it has
// nothing to do.
int main() { return 0; }
