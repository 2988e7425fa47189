// Registered objects are read-only names.
begin
  Memo1 := nil;
end.
// expect compile error: [line 3:3] Error at 'Memo1': Cannot assign to 'Memo1'
