// A program that does nothing: the build links it with one folder's whole
// library and the libraries below it, so that every symbol the library
// uses must come from a floor below its own.
int main() { return 0; }
