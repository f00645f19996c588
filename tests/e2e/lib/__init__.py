"""Building blocks of the end-to-end harness."""
