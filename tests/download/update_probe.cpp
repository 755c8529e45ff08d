// What the self-update tests install as the program: it starts and ends with 42.
int main()
{
    return 42;
}
