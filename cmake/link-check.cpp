// A program that uses nothing: linked with one library whole, it proves that every call the
// library makes is answered by the libraries below it.
int main()
{
    return 0;
}
