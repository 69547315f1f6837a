"""Compact source of the drive range that the program ships with.

generate_range.py turns these tables into the files under data/.
"""
