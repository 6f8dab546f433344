// (placeholder, being written)
