"""Generators of Velk's shipped artwork and settings files."""
