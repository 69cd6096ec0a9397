# The script both shells run in the start-up benchmark: let Tk map what the
# start-up made, then leave as soon as the event loop is idle.
update
after idle exit
