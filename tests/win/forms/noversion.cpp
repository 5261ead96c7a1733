// A program without a version resource.
int main() {
    return 0;
}
