// Keeps the test support library non-empty before it has sources of its own.
