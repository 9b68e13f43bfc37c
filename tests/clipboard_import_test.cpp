// Pasted move lists.
